// The two CRC-32 kernels and the run-time choice between them. The folding constants are derived
// here from the polynomial rather than written out: for a fold across n bits the constant is
// x^n mod P, bit-reflected and moved one bit up (a carry-less product of two reflected values comes
// out one bit low); the final Barrett step uses floor(x^64 / P) and P itself, both reflected.
#include "support/hash/crc32_update.h"

#include <array>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#define HASH_CRC32_HAS_CLMUL 1
#endif

namespace hash {
namespace {

constexpr std::uint32_t kReflectedPolynomial = 0xEDB88320;
constexpr std::uint64_t kPolynomial = 0x104C11DB7;  // x^32 + 0x04C11DB7, unreflected

// tables[0] is the byte-wise table; tables[k][i] is the register after k further zero bytes.
using SliceTables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr SliceTables MakeTables() {
  SliceTables tables{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t entry = i;
    for (int bit = 0; bit < 8; ++bit) {
      entry = (entry & 1) ? (entry >> 1) ^ kReflectedPolynomial : entry >> 1;
    }
    tables[0][i] = entry;
  }
  for (std::size_t k = 1; k < tables.size(); ++k) {
    for (std::size_t i = 0; i < 256; ++i) {
      const std::uint32_t previous = tables[k - 1][i];
      tables[k][i] = (previous >> 8) ^ tables[0][previous & 0xFF];
    }
  }
  return tables;
}

constexpr SliceTables kTables = MakeTables();

std::uint32_t Load32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

std::uint32_t AdvanceByTable(std::uint32_t crc, const std::uint8_t* p, std::size_t size) {
  const auto& t = kTables;
  while (size >= 8) {
    const std::uint32_t low = crc ^ Load32(p);
    const std::uint32_t high = Load32(p + 4);
    crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
          t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^
          t[0][high >> 24];
    p += 8;
    size -= 8;
  }
  for (; size != 0; --size, ++p) crc = (crc >> 8) ^ t[0][(crc ^ *p) & 0xFF];
  return crc;
}

#ifdef HASH_CRC32_HAS_CLMUL

constexpr std::uint64_t Reflect(std::uint64_t value, int bits) {
  std::uint64_t out = 0;
  for (int i = 0; i < bits; ++i) out |= ((value >> i) & 1) << (bits - 1 - i);
  return out;
}

constexpr std::uint64_t XPowerModP(int n) {
  std::uint64_t r = 1;
  for (int i = 0; i < n; ++i) {
    r <<= 1;
    if (r & (std::uint64_t{1} << 32)) r ^= kPolynomial;
  }
  return r;
}

constexpr std::uint64_t FoldConstant(int distance_bits) {
  return Reflect(XPowerModP(distance_bits), 32) << 1;
}

constexpr std::uint64_t QuotientX64ByP() {
  std::uint64_t remainder = 0, quotient = 0;  // long division of x^64, one bit at a time
  for (int bit = 64; bit >= 0; --bit) {
    remainder = (remainder << 1) | (bit == 64 ? 1 : 0);
    if (remainder & (std::uint64_t{1} << 32)) {
      remainder ^= kPolynomial;
      quotient |= std::uint64_t{1} << bit;
    }
  }
  return quotient;
}

constexpr std::uint64_t kFold512Low = FoldConstant(4 * 128 + 32);
constexpr std::uint64_t kFold512High = FoldConstant(4 * 128 - 32);
constexpr std::uint64_t kFold128Low = FoldConstant(128 + 32);
constexpr std::uint64_t kFold128High = FoldConstant(128 - 32);
constexpr std::uint64_t kFold64 = FoldConstant(64);
constexpr std::uint64_t kBarrettMu = Reflect(QuotientX64ByP(), 33);
constexpr std::uint64_t kBarrettPoly = Reflect(kPolynomial, 33);

__attribute__((target("pclmul,sse4.1"))) inline __m128i Fold(__m128i x, __m128i k, __m128i next) {
  const __m128i low = _mm_clmulepi64_si128(x, k, 0x00);
  const __m128i high = _mm_clmulepi64_si128(x, k, 0x11);
  return _mm_xor_si128(_mm_xor_si128(low, high), next);
}

__attribute__((target("pclmul,sse4.1"))) inline __m128i Load128(const std::uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// The register after size bytes; size is a multiple of 16 and at least 64.
__attribute__((target("pclmul,sse4.1"))) std::uint32_t AdvanceByClmul(std::uint32_t crc,
                                                                      const std::uint8_t* p,
                                                                      std::size_t size) {
  __m128i x0 = _mm_xor_si128(Load128(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
  __m128i x1 = Load128(p + 16), x2 = Load128(p + 32), x3 = Load128(p + 48);
  p += 64;
  size -= 64;
  const __m128i k512 =
      _mm_set_epi64x(static_cast<long long>(kFold512High), static_cast<long long>(kFold512Low));
  for (; size >= 64; p += 64, size -= 64) {
    x0 = Fold(x0, k512, Load128(p));
    x1 = Fold(x1, k512, Load128(p + 16));
    x2 = Fold(x2, k512, Load128(p + 32));
    x3 = Fold(x3, k512, Load128(p + 48));
  }
  const __m128i k128 =
      _mm_set_epi64x(static_cast<long long>(kFold128High), static_cast<long long>(kFold128Low));
  __m128i x = Fold(Fold(Fold(x0, k128, x1), k128, x2), k128, x3);
  for (; size >= 16; p += 16, size -= 16) x = Fold(x, k128, Load128(p));

  // 128 bits to 64, then 64 to 32, then the Barrett reduction to the 32-bit remainder.
  x = _mm_xor_si128(_mm_clmulepi64_si128(x, k128, 0x10), _mm_srli_si128(x, 8));
  const __m128i low32 = _mm_set_epi32(0, 0, 0, -1);
  const __m128i k64 = _mm_set_epi64x(0, static_cast<long long>(kFold64));
  x = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x, low32), k64, 0x00), _mm_srli_si128(x, 4));
  const __m128i barrett =
      _mm_set_epi64x(static_cast<long long>(kBarrettMu), static_cast<long long>(kBarrettPoly));
  __m128i t = _mm_clmulepi64_si128(_mm_and_si128(x, low32), barrett, 0x10);
  t = _mm_clmulepi64_si128(_mm_and_si128(t, low32), barrett, 0x00);
  return static_cast<std::uint32_t>(_mm_extract_epi32(_mm_xor_si128(t, x), 1));
}

#endif  // HASH_CRC32_HAS_CLMUL

}  // namespace

bool Crc32KernelAvailable(Crc32Kernel kernel) {
  switch (kernel) {
    case Crc32Kernel::kTable:
      return true;
    case Crc32Kernel::kClmul:
#ifdef HASH_CRC32_HAS_CLMUL
      __builtin_cpu_init();
      return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
#else
      return false;
#endif
  }
  return false;
}

Crc32Kernel BestCrc32Kernel() {
  static const Crc32Kernel best =
      Crc32KernelAvailable(Crc32Kernel::kClmul) ? Crc32Kernel::kClmul : Crc32Kernel::kTable;
  return best;
}

std::uint32_t AdvanceCrc32With(Crc32Kernel kernel, std::uint32_t crc, const void* data,
                               std::size_t size) {
  const auto* p = static_cast<const std::uint8_t*>(data);
#ifdef HASH_CRC32_HAS_CLMUL
  if (kernel == Crc32Kernel::kClmul && size >= 64) {
    const std::size_t whole = size & ~std::size_t{15};
    crc = AdvanceByClmul(crc, p, whole);
    p += whole;
    size -= whole;
  }
#else
  (void)kernel;
#endif
  return AdvanceByTable(crc, p, size);
}

std::uint32_t AdvanceCrc32(std::uint32_t crc, const void* data, std::size_t size) {
  return AdvanceCrc32With(BestCrc32Kernel(), crc, data, size);
}

}  // namespace hash
