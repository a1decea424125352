// HTML escaped into an \*\htmltag group.
#include "platform/mapilib/html_to_rtf.h"

#include <array>

namespace mapilib {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

// RTF bytes one HTML byte takes.
constexpr std::size_t EscapedByteSizeOf(unsigned char b) {
  if (b == 0) return 0;
  if (b == '\\' || b == '{' || b == '}') return 2;
  if (b < 0x20 || b >= 0x80) return 4;  // \'hh
  return 1;
}

constexpr std::array<std::uint8_t, 256> kEscapedSize = [] {
  std::array<std::uint8_t, 256> table{};
  for (unsigned b = 0; b < 256; ++b) table[b] = static_cast<std::uint8_t>(EscapedByteSizeOf(b));
  return table;
}();

std::size_t EscapedByteSize(unsigned char b) { return kEscapedSize[b]; }

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
  for (std::size_t i = 0; i < html.size(); ++i) {
    // Bytes that stand for themselves go in runs.
    const std::size_t run = i;
    while (i < html.size() && EscapedByteSize(static_cast<unsigned char>(html[i])) == 1) ++i;
    out.append(html.data() + run, i - run);
    if (i == html.size()) break;
    const char c = html[i];
    const auto b = static_cast<unsigned char>(c);
    switch (EscapedByteSize(b)) {
      case 0:
        break;
      case 2: {
        const char escaped[] = {'\\', c};
        out.append(escaped, sizeof escaped);
        break;
      }
      default: {
        const char escaped[] = {'\\', '\'', kHexDigits[b >> 4], kHexDigits[b & 0xF]};
        out.append(escaped, sizeof escaped);
      }
    }
  }
}

std::string EncapsulateHtml(std::string_view html, std::uint32_t code_page) {
  std::string rtf = EncapsulatingRtfHead(code_page);
  AppendEscapedHtml(html, rtf);
  rtf += kEncapsulatingRtfTail;
  return rtf;
}

}  // namespace mapilib
