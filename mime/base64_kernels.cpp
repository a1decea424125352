// Base64 line kernels. The vector kernels turn the four 6-bit fields of each 3-byte group into
// bytes with a shuffle and two multiplies, and map them to the alphabet by adding an offset looked
// up per range (A-Z, a-z, 0-9, "+", "/"). A line of 54 bytes is four 12-byte steps (two 24-byte
// steps) and a last group of six bytes done by the portable code; every vector load stays inside
// the line.
#include "mime/base64_kernels.h"

#include <cstring>

#include "support/charset/base64_alphabet.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define PST2XMZ_BASE64_X86 1
#endif

namespace mime {
namespace {

// Whole 3-byte groups: 4 characters each.
inline char* EncodeGroups(const unsigned char* in, std::size_t groups, char* out) {
  for (std::size_t g = 0; g < groups; ++g, in += 3) {
    const unsigned v = (unsigned{in[0]} << 16) | (unsigned{in[1]} << 8) | in[2];
    out[0] = charset::kBase64Alphabet[v >> 18];
    out[1] = charset::kBase64Alphabet[(v >> 12) & 63];
    out[2] = charset::kBase64Alphabet[(v >> 6) & 63];
    out[3] = charset::kBase64Alphabet[v & 63];
    out += 4;
  }
  return out;
}

// The last line's bytes (fewer than 54), padded, and its CR LF.
char* EncodeLastLine(const unsigned char* in, std::size_t size, char* out) {
  out = EncodeGroups(in, size / 3, out);
  in += size / 3 * 3;
  const std::size_t rest = size % 3;
  if (rest > 0) {
    const unsigned v = (unsigned{in[0]} << 16) | (rest == 2 ? unsigned{in[1]} << 8 : 0u);
    out[0] = charset::kBase64Alphabet[v >> 18];
    out[1] = charset::kBase64Alphabet[(v >> 12) & 63];
    out[2] = rest == 2 ? charset::kBase64Alphabet[(v >> 6) & 63] : '=';
    out[3] = '=';
    out += 4;
  }
  out[0] = '\r';
  out[1] = '\n';
  return out + 2;
}

// Calls encode_line(in, out) -> out for every full line, then finishes a short last one.
template <typename EncodeLine>
char* EncodeLines(const unsigned char* in, std::size_t size, char* out, EncodeLine encode_line) {
  for (; size >= kBase64LineBytes; size -= kBase64LineBytes, in += kBase64LineBytes) {
    out = encode_line(in, out);
    out[0] = '\r';
    out[1] = '\n';
    out += 2;
  }
  return size > 0 ? EncodeLastLine(in, size, out) : out;
}

char* ScalarLine(const unsigned char* in, char* out) { return EncodeGroups(in, 18, out); }

#ifdef PST2XMZ_BASE64_X86

// 12 bytes (the first 12 of the 16 loaded) into 16 alphabet characters.
__attribute__((target("ssse3"))) inline __m128i EncodeStep128(__m128i in) {
  in = _mm_shuffle_epi8(in, _mm_set_epi8(10, 11, 9, 10, 7, 8, 6, 7, 4, 5, 3, 4, 1, 2, 0, 1));
  const __m128i high =
      _mm_mulhi_epu16(_mm_and_si128(in, _mm_set1_epi32(0x0fc0fc00)), _mm_set1_epi32(0x04000040));
  const __m128i low =
      _mm_mullo_epi16(_mm_and_si128(in, _mm_set1_epi32(0x003f03f0)), _mm_set1_epi32(0x01000010));
  const __m128i fields = _mm_or_si128(high, low);
  // Range number: 0 for a-z, 1..12 for digits, "+", "/"; 13 for A-Z.
  __m128i range = _mm_subs_epu8(fields, _mm_set1_epi8(51));
  const __m128i capital = _mm_cmpgt_epi8(_mm_set1_epi8(26), fields);
  range = _mm_or_si128(range, _mm_and_si128(capital, _mm_set1_epi8(13)));
  const __m128i offsets =
      _mm_setr_epi8('a' - 26, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52,
                    '0' - 52, '0' - 52, '0' - 52, '+' - 62, '/' - 63, 'A', 0, 0);
  return _mm_add_epi8(_mm_shuffle_epi8(offsets, range), fields);
}

__attribute__((target("ssse3"))) char* Ssse3Line(const unsigned char* in, char* out) {
  for (int step = 0; step < 4; ++step, in += 12, out += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), EncodeStep128(bytes));
  }
  return EncodeGroups(in, 2, out);
}

__attribute__((target("ssse3"))) char* EncodeSsse3(const unsigned char* in, std::size_t size,
                                                   char* out) {
  return EncodeLines(in, size, out, Ssse3Line);
}

// 24 bytes into 32 characters: each 128-bit lane does the work of EncodeStep128.
__attribute__((target("avx2"))) inline __m256i EncodeStep256(__m256i in) {
  in = _mm256_shuffle_epi8(in, _mm256_set_epi8(10, 11, 9, 10, 7, 8, 6, 7, 4, 5, 3, 4, 1, 2, 0, 1,
                                               10, 11, 9, 10, 7, 8, 6, 7, 4, 5, 3, 4, 1, 2, 0, 1));
  const __m256i high = _mm256_mulhi_epu16(_mm256_and_si256(in, _mm256_set1_epi32(0x0fc0fc00)),
                                          _mm256_set1_epi32(0x04000040));
  const __m256i low = _mm256_mullo_epi16(_mm256_and_si256(in, _mm256_set1_epi32(0x003f03f0)),
                                         _mm256_set1_epi32(0x01000010));
  const __m256i fields = _mm256_or_si256(high, low);
  __m256i range = _mm256_subs_epu8(fields, _mm256_set1_epi8(51));
  const __m256i capital = _mm256_cmpgt_epi8(_mm256_set1_epi8(26), fields);
  range = _mm256_or_si256(range, _mm256_and_si256(capital, _mm256_set1_epi8(13)));
  const __m256i offsets =
      _mm256_setr_epi8('a' - 26, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52,
                       '0' - 52, '0' - 52, '0' - 52, '0' - 52, '+' - 62, '/' - 63, 'A', 0, 0,
                       'a' - 26, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52,
                       '0' - 52, '0' - 52, '0' - 52, '0' - 52, '+' - 62, '/' - 63, 'A', 0, 0);
  return _mm256_add_epi8(_mm256_shuffle_epi8(offsets, range), fields);
}

__attribute__((target("avx2"))) char* Avx2Line(const unsigned char* in, char* out) {
  for (int step = 0; step < 2; ++step, in += 24, out += 32) {
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 12));
    const __m256i bytes = _mm256_inserti128_si256(_mm256_castsi128_si256(first), second, 1);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), EncodeStep256(bytes));
  }
  return EncodeGroups(in, 2, out);
}

__attribute__((target("avx2"))) char* EncodeAvx2(const unsigned char* in, std::size_t size,
                                                 char* out) {
  return EncodeLines(in, size, out, Avx2Line);
}

#endif  // PST2XMZ_BASE64_X86

}  // namespace

bool Base64KernelAvailable(Base64Kernel kernel) {
  switch (kernel) {
    case Base64Kernel::kScalar:
      return true;
#ifdef PST2XMZ_BASE64_X86
    case Base64Kernel::kSsse3:
      return __builtin_cpu_supports("ssse3");
    case Base64Kernel::kAvx2:
      return __builtin_cpu_supports("avx2");
#endif
    default:
      return false;
  }
}

Base64Kernel FastestBase64Kernel() {
  static const Base64Kernel fastest =
      Base64KernelAvailable(Base64Kernel::kAvx2)    ? Base64Kernel::kAvx2
      : Base64KernelAvailable(Base64Kernel::kSsse3) ? Base64Kernel::kSsse3
                                                    : Base64Kernel::kScalar;
  return fastest;
}

char* EncodeBase64LineBlock(const unsigned char* in, std::size_t size, char* out,
                            Base64Kernel kernel) {
  switch (kernel) {
#ifdef PST2XMZ_BASE64_X86
    case Base64Kernel::kSsse3:
      return EncodeSsse3(in, size, out);
    case Base64Kernel::kAvx2:
      return EncodeAvx2(in, size, out);
#endif
    default:
      return EncodeLines(in, size, out, ScalarLine);
  }
}

}  // namespace mime
