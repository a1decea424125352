// UTF-16LE and Windows code pages to UTF-8; code pages go through iconv.
#include "platform/pst/ltp/codepage_text.h"

#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "support/charset/ascii_units.h"
#include "support/charset/utf8_append.h"

namespace pst::ltp {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

using charset::AppendUtf8;

bool IsHighSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Writes units of in while they take two UTF-8 bytes (U+0080 to U+07FF: accented Latin, Greek,
// Cyrillic, Hebrew, Arabic), at most max of them, two bytes each into out. Returns how many were
// written. Eight units a step with SSE2; bytes of out past the result, up to 2 * max, may have been
// written over.
std::size_t CopyTwoByteUnits(const std::byte* in, std::size_t max, char* out) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i below_two_bytes = _mm_set1_epi16(0x7F);
  const __m128i last_two_bytes = _mm_set1_epi16(0x7FF);
  const __m128i zero = _mm_setzero_si128();
  for (; i + 8 <= max; i += 8) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * i));
    // Unsigned: at most 0x7FF, and not at most 0x7F.
    const __m128i in_range =
        _mm_andnot_si128(_mm_cmpeq_epi16(_mm_subs_epu16(v, below_two_bytes), zero),
                         _mm_cmpeq_epi16(_mm_subs_epu16(v, last_two_bytes), zero));
    const __m128i lead = _mm_or_si128(_mm_srli_epi16(v, 6), _mm_set1_epi16(0xC0));
    const __m128i trail =
        _mm_or_si128(_mm_and_si128(v, _mm_set1_epi16(0x3F)), _mm_set1_epi16(0x80));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i),
                     _mm_or_si128(lead, _mm_slli_epi16(trail, 8)));
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(in_range));
    if (mask != 0xFFFFu) return i + static_cast<std::size_t>(std::countr_one(mask)) / 2;
  }
#endif
  for (; i < max; ++i) {
    const unsigned unit =
        static_cast<unsigned>(in[2 * i]) | (static_cast<unsigned>(in[2 * i + 1]) << 8);
    if (unit < 0x80 || unit >= 0x800) break;
    charset::EncodeUtf8(unit, out + 2 * i);
  }
  return i;
}

// One iconv descriptor for the duration of a conversion.
class Converter {
 public:
  explicit Converter(const char* from) : cd_(iconv_open("UTF-8", from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts all of `in`; undecodable bytes become U+FFFD, an incomplete tail is dropped.
  std::string Run(std::span<const std::byte> in) {
    std::string out;
    char buffer[1024];
    auto* src = const_cast<char*>(reinterpret_cast<const char*>(in.data()));
    std::size_t left = in.size();
    while (left > 0) {
      char* dst = buffer;
      std::size_t room = sizeof buffer;
      const std::size_t rc = iconv(cd_, &src, &left, &dst, &room);
      out.append(buffer, static_cast<std::size_t>(dst - buffer));
      if (rc != static_cast<std::size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      if (errno == EINVAL) break;     // incomplete sequence at the very end
      AppendUtf8(out, kReplacement);  // EILSEQ: a byte the code page does not define
      ++src;
      --left;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

 private:
  iconv_t cd_;
};

// Code pages whose bytes below 0x80 iconv converts to the same ASCII characters.
bool AsciiCompatible(std::uint32_t code_page) {
  return (code_page >= 1250 && code_page <= 1258) || (code_page >= 28591 && code_page <= 28605) ||
         code_page == 20127 || code_page == kUtf8CodePage || CodePageName(code_page) == nullptr;
}

bool IsAscii(std::span<const std::byte> text) {
  std::uint8_t any = 0;
  for (std::byte b : text) any |= static_cast<std::uint8_t>(b);
  return any < 0x80;
}

// Well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsWellFormedUtf8(std::span<const std::byte> text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  auto at = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
  auto in = [&](std::size_t k, std::uint8_t low, std::uint8_t high) {
    return k < n && at(k) >= low && at(k) <= high;
  };
  while (i < n) {
    const std::uint8_t lead = at(i);
    if (lead < 0x80) {
      ++i;
    } else if (lead >= 0xC2 && lead <= 0xDF && in(i + 1, 0x80, 0xBF)) {
      i += 2;
    } else if (lead >= 0xE0 && lead <= 0xEF &&
               in(i + 1, lead == 0xE0 ? 0xA0 : 0x80, lead == 0xED ? 0x9F : 0xBF) &&
               in(i + 2, 0x80, 0xBF)) {
      i += 3;
    } else if (lead >= 0xF0 && lead <= 0xF4 &&
               in(i + 1, lead == 0xF0 ? 0x90 : 0x80, lead == 0xF4 ? 0x8F : 0xBF) &&
               in(i + 2, 0x80, 0xBF) && in(i + 3, 0x80, 0xBF)) {
      i += 4;
    } else {
      return false;
    }
  }
  return true;
}

// Text that iconv would hand back unchanged: ASCII in a code page that keeps it, or well-formed
// UTF-8 from UTF-8.
bool ConvertsToItself(std::span<const std::byte> text, std::uint32_t code_page) {
  if (!AsciiCompatible(code_page)) return false;
  return IsAscii(text) || (code_page == kUtf8CodePage && IsWellFormedUtf8(text));
}

}  // namespace

std::string Utf16LeToUtf8(std::span<const std::byte> bytes) {
  const std::size_t units = bytes.size() / 2;
  const std::byte* in = bytes.data();
  auto unit = [&](std::size_t i) {
    return static_cast<char32_t>(static_cast<unsigned>(in[2 * i]) |
                                 (static_cast<unsigned>(in[2 * i + 1]) << 8));
  };
  std::string out;
  out.reserve(units);
  // Built a chunk at a time in a buffer on the stack: no fill of string room before it is written.
  constexpr std::size_t kChunk = 4096;
  constexpr std::size_t kLongestChar = 4;
  char chunk[kChunk];
  std::size_t i = 0;
  while (i < units) {
    std::size_t used = 0;
    while (i < units && used + kLongestChar <= kChunk) {
      if (unit(i) < 0x80) {
        const std::size_t ascii =
            charset::CopyAsciiUnits(in + 2 * i, std::min(units - i, kChunk - used), chunk + used);
        i += ascii;
        used += ascii;
        if (i == units || used + kLongestChar > kChunk) break;
      }
      if (unit(i) < 0x800) {
        const std::size_t run =
            CopyTwoByteUnits(in + 2 * i, std::min(units - i, (kChunk - used) / 2), chunk + used);
        i += run;
        used += 2 * run;
        continue;
      }
      char32_t code = unit(i++);
      if (IsHighSurrogate(code) && i < units && IsLowSurrogate(unit(i))) {
        code = 0x10000 + ((code - 0xD800) << 10) + (unit(i++) - 0xDC00);
      } else if (IsHighSurrogate(code) || IsLowSurrogate(code)) {
        code = kReplacement;
      }
      used += charset::EncodeUtf8(code, chunk + used);
    }
    out.append(chunk, used);
  }
  return out;
}

const char* CodePageName(std::uint32_t code_page) {
  switch (code_page) {
    case 437:
      return "CP437";
    case 850:
      return "CP850";
    case 852:
      return "CP852";
    case 866:
      return "CP866";
    case 874:
      return "CP874";
    case 932:
      return "CP932";
    case 936:
      return "CP936";
    case 949:
      return "CP949";
    case 950:
      return "BIG5";
    case 1250:
      return "CP1250";
    case 1251:
      return "CP1251";
    case 1252:
      return "CP1252";
    case 1253:
      return "CP1253";
    case 1254:
      return "CP1254";
    case 1255:
      return "CP1255";
    case 1256:
      return "CP1256";
    case 1257:
      return "CP1257";
    case 1258:
      return "CP1258";
    case 10000:
      return "MACINTOSH";
    case 20127:
      return "ASCII";
    case 20866:
      return "KOI8-R";
    case 21866:
      return "KOI8-U";
    case 28591:
      return "ISO-8859-1";
    case 28592:
      return "ISO-8859-2";
    case 28593:
      return "ISO-8859-3";
    case 28594:
      return "ISO-8859-4";
    case 28595:
      return "ISO-8859-5";
    case 28596:
      return "ISO-8859-6";
    case 28597:
      return "ISO-8859-7";
    case 28598:
      return "ISO-8859-8";
    case 28599:
      return "ISO-8859-9";
    case 28603:
      return "ISO-8859-13";
    case 28605:
      return "ISO-8859-15";
    case 50220:
      return "ISO-2022-JP";
    case 51932:
      return "EUC-JP";
    case 51936:
      return "GB2312";
    case 51949:
      return "EUC-KR";
    case 52936:
      return "HZ";
    case 54936:
      return "GB18030";
    case 65000:
      return "UTF-7";
    case 65001:
      return "UTF-8";
    default:
      return nullptr;
  }
}

std::string CodePageToUtf8(std::span<const std::byte> text, std::uint32_t code_page) {
  if (ConvertsToItself(text, code_page)) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
  }
  const char* name = CodePageName(code_page);
  Converter converter(name ? name : CodePageName(kDefaultCodePage));
  if (!converter.ok()) {
    Converter fallback(CodePageName(kDefaultCodePage));
    return fallback.Run(text);
  }
  return converter.Run(text);
}

}  // namespace pst::ltp
