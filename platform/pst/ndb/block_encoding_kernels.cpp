// AVX2 and AVX-512 VBMI kernels of the block encodings. On other targets the Has functions are
// false and the kernels are never called.
#include "platform/pst/ndb/block_encoding_kernels.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace pst::ndb::encoding_kernels {

using crypt_tables::Table;

#if defined(__x86_64__)

namespace {

// --- AVX2: a byte x with high nibble h and low nibble l takes table[16h + l]. The look-up is a
// sum (exclusive or) of sixteen 16-entry shuffles of difference rows: in each half of the table
// (h < 8 and h >= 8), row k holds table row k exclusive-or row k - 1, and a byte takes the rows of
// its half up to its own, which add up to its own row. The shuffle gives zero where its index has
// bit 7 set; subtracting 16k with signed saturation leaves bit 7 clear exactly for bytes of the
// half at or above row k, with the low nibble intact.
struct Avx2Table {
  __m256i rows[16];  // difference rows, both lanes alike
};

__attribute__((target("avx2"))) Avx2Table LoadAvx2(const Table& table) {
  Avx2Table t;
  for (int h = 0; h < 16; ++h) {
    __m128i row = _mm_loadu_si128(reinterpret_cast<const __m128i*>(table.data() + 16 * h));
    if (h % 8 != 0) {
      row = _mm_xor_si128(
          row, _mm_loadu_si128(reinterpret_cast<const __m128i*>(table.data() + 16 * (h - 1))));
    }
    t.rows[h] = _mm256_broadcastsi128_si256(row);
  }
  return t;
}

__attribute__((target("avx2"))) inline __m256i LookupAvx2(const Avx2Table& t, __m256i x) {
  const __m256i sixteen = _mm256_set1_epi8(16);
  __m256i low_half = x;                                             // bytes below 0x80 are >= 0
  __m256i high_half = _mm256_xor_si256(x, _mm256_set1_epi8(-128));  // bytes from 0x80 are >= 0
  __m256i out = _mm256_xor_si256(_mm256_shuffle_epi8(t.rows[0], low_half),
                                 _mm256_shuffle_epi8(t.rows[8], high_half));
#pragma GCC unroll 8
  for (int k = 1; k < 8; ++k) {
    low_half = _mm256_subs_epi8(low_half, sixteen);
    high_half = _mm256_subs_epi8(high_half, sixteen);
    out = _mm256_xor_si256(out, _mm256_shuffle_epi8(t.rows[k], low_half));
    out = _mm256_xor_si256(out, _mm256_shuffle_epi8(t.rows[k + 8], high_half));
  }
  return out;
}

__attribute__((target("avx2"))) inline __m256i Load256(const std::uint8_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

__attribute__((target("avx2"))) inline void Store256(std::uint8_t* p, __m256i v) {
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// The bytes 0, 1, 2 ... 63: the offsets of a vector's lanes from its first running word.
struct LaneOffsets {
  alignas(64) std::uint8_t bytes[64];
  constexpr LaneOffsets() : bytes() {
    for (int i = 0; i < 64; ++i) bytes[i] = static_cast<std::uint8_t>(i);
  }
};
constexpr LaneOffsets kLaneOffsets;

// Low and high bytes of the running words w, w + 1, ... w + 31.
struct WordBytes {
  __m256i low, high;
};

__attribute__((target("avx2"))) inline WordBytes WordsAvx2(std::uint16_t w) {
  const __m256i low0 = _mm256_set1_epi8(static_cast<char>(w));
  const __m256i low = _mm256_add_epi8(low0, Load256(kLaneOffsets.bytes));
  // Where the low byte wrapped past 255, the high byte is one more.
  const __m256i no_carry = _mm256_cmpeq_epi8(_mm256_max_epu8(low, low0), low);
  const __m256i high = _mm256_add_epi8(_mm256_set1_epi8(static_cast<char>((w >> 8) + 1)), no_carry);
  return {low, high};
}

// --- AVX-512 VBMI: the table as four 64-byte quarters; bit 7 of x picks the pair, bits 0-6 the
// entry.
struct Avx512Table {
  __m512i q0, q1, q2, q3;
};

__attribute__((target("avx512f,avx512bw,avx512vbmi"))) Avx512Table LoadAvx512(const Table& table) {
  return {_mm512_loadu_si512(table.data()), _mm512_loadu_si512(table.data() + 64),
          _mm512_loadu_si512(table.data() + 128), _mm512_loadu_si512(table.data() + 192)};
}

__attribute__((target("avx512f,avx512bw,avx512vbmi"))) inline __m512i LookupAvx512(
    const Avx512Table& t, __m512i x) {
  const __m512i low = _mm512_permutex2var_epi8(t.q0, x, t.q1);
  const __m512i high = _mm512_permutex2var_epi8(t.q2, x, t.q3);
  return _mm512_mask_blend_epi8(_mm512_movepi8_mask(x), low, high);
}

__attribute__((target("avx512f,avx512bw"))) inline __mmask64 TailMask(std::size_t size) {
  return size >= 64 ? ~__mmask64{0} : (__mmask64{1} << size) - 1;
}

}  // namespace

bool HasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}

bool HasAvx512Vbmi() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
         __builtin_cpu_supports("avx512vbmi");
}

__attribute__((target("avx2"))) void SubstituteAvx2(const Table& table, std::uint8_t* data,
                                                    std::size_t size) {
  const Avx2Table t = LoadAvx2(table);
  std::size_t i = 0;
  for (; i + 32 <= size; i += 32) Store256(data + i, LookupAvx2(t, Load256(data + i)));
  for (; i < size; ++i) data[i] = table[data[i]];
}

__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void SubstituteAvx512Vbmi(const Table& table,
                                                                                 std::uint8_t* data,
                                                                                 std::size_t size) {
  const Avx512Table t = LoadAvx512(table);
  for (std::size_t i = 0; i < size; i += 64) {
    const __mmask64 m = TailMask(size - i);
    const __m512i x = _mm512_maskz_loadu_epi8(m, data + i);
    _mm512_mask_storeu_epi8(data + i, m, LookupAvx512(t, x));
  }
}

__attribute__((target("avx2"))) std::size_t CyclicAvx2(std::uint8_t* data, std::size_t size,
                                                       std::uint16_t w) {
  const Avx2Table r = LoadAvx2(crypt_tables::kTableR);
  const Avx2Table s = LoadAvx2(crypt_tables::kTableS);
  const Avx2Table inv = LoadAvx2(crypt_tables::kTableI);
  std::size_t i = 0;
  for (; i + 32 <= size; i += 32, w = static_cast<std::uint16_t>(w + 32)) {
    const WordBytes k = WordsAvx2(w);
    __m256i b = LookupAvx2(r, _mm256_add_epi8(Load256(data + i), k.low));
    b = LookupAvx2(s, _mm256_add_epi8(b, k.high));
    b = LookupAvx2(inv, _mm256_sub_epi8(b, k.high));
    Store256(data + i, _mm256_sub_epi8(b, k.low));
  }
  return i;
}

__attribute__((target("avx512f,avx512bw,avx512vbmi"))) std::size_t CyclicAvx512Vbmi(
    std::uint8_t* data, std::size_t size, std::uint16_t w) {
  const Avx512Table r = LoadAvx512(crypt_tables::kTableR);
  const Avx512Table s = LoadAvx512(crypt_tables::kTableS);
  const Avx512Table inv = LoadAvx512(crypt_tables::kTableI);
  const __m512i iota = _mm512_load_si512(kLaneOffsets.bytes);
  for (std::size_t i = 0; i < size; i += 64, w = static_cast<std::uint16_t>(w + 64)) {
    const __m512i low0 = _mm512_set1_epi8(static_cast<char>(w));
    const __m512i low = _mm512_add_epi8(low0, iota);
    const __m512i high0 = _mm512_set1_epi8(static_cast<char>(w >> 8));
    const __m512i high =
        _mm512_mask_add_epi8(high0, _mm512_cmplt_epu8_mask(low, low0), high0, _mm512_set1_epi8(1));
    const __mmask64 m = TailMask(size - i);
    __m512i b = LookupAvx512(r, _mm512_add_epi8(_mm512_maskz_loadu_epi8(m, data + i), low));
    b = LookupAvx512(s, _mm512_add_epi8(b, high));
    b = LookupAvx512(inv, _mm512_sub_epi8(b, high));
    _mm512_mask_storeu_epi8(data + i, m, _mm512_sub_epi8(b, low));
  }
  return size;
}

#else

bool HasAvx2() { return false; }
bool HasAvx512Vbmi() { return false; }
void SubstituteAvx2(const Table&, std::uint8_t*, std::size_t) {}
void SubstituteAvx512Vbmi(const Table&, std::uint8_t*, std::size_t) {}
std::size_t CyclicAvx2(std::uint8_t*, std::size_t, std::uint16_t) { return 0; }
std::size_t CyclicAvx512Vbmi(std::uint8_t*, std::size_t, std::uint16_t) { return 0; }

#endif

}  // namespace pst::ndb::encoding_kernels
