// The leading ASCII units of UTF-16LE text copied as bytes, sixteen units per step with SSE2 (part of
// every x86-64 CPU), four per step elsewhere. Text in mail is mostly ASCII; this is its fast path.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace charset {

// Copies units of in while they are below 0x80, at most max of them, one byte each into out.
// Returns how many were copied; unit `result` (if below max) is not ASCII.
inline std::size_t CopyAsciiUnits(const std::byte* in, std::size_t max, char* out) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i non_ascii = _mm_set1_epi16(static_cast<short>(0xFF80));
  for (; i + 16 <= max; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * i + 16));
    const __m128i high = _mm_and_si128(_mm_or_si128(a, b), non_ascii);
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(high, _mm_setzero_si128())) != 0xFFFF) break;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(a, b));
  }
#endif
  if constexpr (std::endian::native == std::endian::little) {
    for (; i + 4 <= max; i += 4) {
      std::uint64_t v;
      std::memcpy(&v, in + 2 * i, sizeof v);
      if (v & 0xFF80FF80FF80FF80ull) break;
      for (int k = 0; k < 4; ++k) out[i + k] = static_cast<char>(v >> (16 * k));
    }
  }
  for (; i < max; ++i) {
    const unsigned unit =
        static_cast<unsigned>(in[2 * i]) | (static_cast<unsigned>(in[2 * i + 1]) << 8);
    if (unit >= 0x80) break;
    out[i] = static_cast<char>(unit);
  }
  return i;
}

}  // namespace charset
