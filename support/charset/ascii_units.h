// ASCII fast paths, for text in mail is mostly ASCII. The leading ASCII units of UTF-16LE text
// copied as bytes, sixteen units per step with SSE2 (part of every x86-64 CPU; the first other unit
// is found from the lane mask), four per step elsewhere; the length of the leading ASCII bytes of a
// text, sixteen bytes per step with SSE2, eight elsewhere.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace charset {

// Copies units of in while they are below 0x80, at most max of them, one byte each into out.
// Returns how many were copied; unit `result` (if below max) is not ASCII. Bytes of out past the
// result, up to max, may have been written over.
inline std::size_t CopyAsciiUnits(const std::byte* in, std::size_t max, char* out) {
  std::size_t i = 0;
#if defined(__SSE2__)
  // A 16-bit lane mask of the units below 0x80: two mask bits per unit.
  const __m128i non_ascii = _mm_set1_epi16(static_cast<short>(0xFF80));
  auto ascii_mask = [&](__m128i v) {
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, non_ascii), _mm_setzero_si128())));
  };
  for (; i + 16 <= max; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * i + 16));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(a, b));
    const unsigned mask = ascii_mask(a) | ascii_mask(b) << 16;
    if (mask != 0xFFFFFFFFu) return i + static_cast<std::size_t>(std::countr_one(mask)) / 2;
  }
  if (i + 8 <= max) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * i));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(a, a));
    const unsigned mask = ascii_mask(a);
    if (mask != 0xFFFFu) return i + static_cast<std::size_t>(std::countr_one(mask)) / 2;
    i += 8;
  }
#else
  if constexpr (std::endian::native == std::endian::little) {
    for (; i + 4 <= max; i += 4) {
      std::uint64_t v;
      std::memcpy(&v, in + 2 * i, sizeof v);
      if (v & 0xFF80FF80FF80FF80ull) break;
      for (int k = 0; k < 4; ++k) out[i + k] = static_cast<char>(v >> (16 * k));
    }
  }
#endif
  for (; i < max; ++i) {
    const unsigned unit =
        static_cast<unsigned>(in[2 * i]) | (static_cast<unsigned>(in[2 * i + 1]) << 8);
    if (unit >= 0x80) break;
    out[i] = static_cast<char>(unit);
  }
  return i;
}

// The number of leading bytes of text below 0x80.
inline std::size_t AsciiPrefixLength(std::string_view text) {
  const char* data = text.data();
  std::size_t i = 0;
#if defined(__SSE2__)
  for (; i + 16 <= text.size(); i += 16) {
    const auto high = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i))));
    if (high != 0) return i + static_cast<std::size_t>(std::countr_zero(high));
  }
#endif
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, data + i, sizeof word);
    if (word & 0x8080808080808080ull) break;
  }
  while (i < text.size() && static_cast<unsigned char>(data[i]) < 0x80) ++i;
  return i;
}

}  // namespace charset
