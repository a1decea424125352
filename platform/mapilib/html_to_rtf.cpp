// HTML escaped into an \*\htmltag group.
#include "platform/mapilib/html_to_rtf.h"

#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace mapilib {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

// What each HTML byte becomes in RTF, written four bytes at a time: itself, a backslash before it
// (\\, braces), \'hh (control and non-ASCII bytes), or nothing (NUL).
struct Escape {
  char text[4];
  std::uint8_t size;
};
constexpr std::array<Escape, 256> kEscapes = [] {
  std::array<Escape, 256> table{};
  for (unsigned b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    if (b == 0) {
      table[b] = {{0, 0, 0, 0}, 0};
    } else if (c == '\\' || c == '{' || c == '}') {
      table[b] = {{'\\', c, 0, 0}, 2};
    } else if (b < 0x20 || b >= 0x80) {
      table[b] = {{'\\', '\'', kHexDigits[b >> 4], kHexDigits[b & 0xF]}, 4};
    } else {
      table[b] = {{c, 0, 0, 0}, 1};
    }
  }
  return table;
}();

// RTF bytes one HTML byte takes.
std::size_t EscapedByteSize(unsigned char b) { return kEscapes[b].size; }

// The length of the run at the start of html of bytes that stand for themselves; sixteen bytes a
// step with SSE2.
std::size_t LiteralRunLength(std::string_view html) {
  std::size_t n = 0;
#if defined(__SSE2__)
  const __m128i below_blank = _mm_set1_epi8(0x20);  // signed: bytes from 0x80 are below too
  const __m128i backslash = _mm_set1_epi8('\\');
  const __m128i open = _mm_set1_epi8('{'), close = _mm_set1_epi8('}');
  for (; n + 16 <= html.size(); n += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(html.data() + n));
    const __m128i brace = _mm_or_si128(_mm_cmpeq_epi8(v, open), _mm_cmpeq_epi8(v, close));
    const __m128i special = _mm_or_si128(
        _mm_or_si128(_mm_cmplt_epi8(v, below_blank), _mm_cmpeq_epi8(v, backslash)), brace);
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(special));
    if (mask != 0) return n + static_cast<std::size_t>(std::countr_zero(mask));
  }
#endif
  while (n < html.size() && EscapedByteSize(static_cast<unsigned char>(html[n])) == 1) ++n;
  return n;
}

}  // namespace

std::string EncapsulatingRtfHead(std::uint32_t code_page) {
  return "{\\rtf1\\ansi\\ansicpg" + std::to_string(code_page) +
         "\\fromhtml1 \\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n{\\*\\htmltag64 ";
}

std::size_t EscapedHtmlSize(std::string_view html) {
  std::size_t size = 0;
  for (char c : html) size += EscapedByteSize(static_cast<unsigned char>(c));
  return size;
}

void AppendEscapedHtml(std::string_view html, std::string& out) {
  out.reserve(out.size() + html.size() + html.size() / 8);
  for (std::size_t i = 0; i < html.size();) {
    // Bytes that stand for themselves go in runs, the escapes of the bytes after them too.
    const std::size_t run = LiteralRunLength(html.substr(i));
    out.append(html.data() + i, run);
    i += run;
    char escaped[256];
    std::size_t used = 0;
    for (; i < html.size() && EscapedByteSize(static_cast<unsigned char>(html[i])) != 1; ++i) {
      if (used + 4 > sizeof escaped) {
        out.append(escaped, used);
        used = 0;
      }
      const Escape& escape = kEscapes[static_cast<unsigned char>(html[i])];
      std::memcpy(escaped + used, escape.text, sizeof escape.text);
      used += escape.size;
    }
    out.append(escaped, used);
  }
}

std::string EncapsulateHtml(std::string_view html, std::uint32_t code_page) {
  std::string rtf = EncapsulatingRtfHead(code_page);
  AppendEscapedHtml(html, rtf);
  rtf += kEncapsulatingRtfTail;
  return rtf;
}

}  // namespace mapilib
