// RTF encapsulation and the compressed-RTF stream header.
#include "tools/pstwriter/rtf_body.h"

#include <cstdint>

#include "platform/pst/rtf/rtf_compressor.h"
#include "tools/pstwriter/text_codec.h"

namespace pstwriter {
namespace {

const char kHeader[] = "{\\rtf1\\ansi\\ansicpg1252";
const char kFonts[] = "\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n";

// Escapes text for RTF: \, { and } quoted, line ends as \par, everything outside ASCII as \uN?.
std::string Escape(std::string_view utf8) {
  Bytes utf16 = Utf8ToUtf16le(utf8);
  std::string out;
  for (std::size_t i = 0; i + 1 < utf16.size(); i += 2) {
    unsigned unit = unsigned(utf16[i]) | unsigned(utf16[i + 1]) << 8;
    if (unit == '\\' || unit == '{' || unit == '}') {
      out += '\\';
      out += char(unit);
    } else if (unit == '\r') {
      continue;
    } else if (unit == '\n') {
      out += "\\par\r\n";
    } else if (unit == '\t') {
      out += "\\tab ";
    } else if (unit >= 0x20 && unit < 0x80) {
      out += char(unit);
    } else {
      out += "\\u" + std::to_string(std::int16_t(unit)) + "?";
    }
  }
  return out;
}

}  // namespace

std::string EncapsulateHtml(std::string_view html) {
  return std::string(kHeader) + "\\fromhtml1 " + kFonts + "{\\*\\htmltag64 " + Escape(html) + "}}";
}

std::string EncapsulateText(std::string_view text) {
  return std::string(kHeader) + "\\fromtext " + kFonts + "\\uc1\\f0\\fs20 " + Escape(text) + "}";
}

std::string NativeRtf(std::string_view text) {
  return std::string(kHeader) + kFonts + "\\uc1\\pard\\f0\\fs20 " + Escape(text) + "\\par}";
}

Bytes CompressedRtfStream(std::string_view rtf, bool compress) {
  return pst::rtf::CompressRtf(rtf, compress);
}

}  // namespace pstwriter
