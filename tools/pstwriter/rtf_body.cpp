// RTF encapsulation and the compressed-RTF stream header.
#include "tools/pstwriter/rtf_body.h"

#include <cstdint>

#include "platform/pst/ndb/pst_crc.h"
#include "tools/pstwriter/text_codec.h"

namespace pstwriter {
namespace {

constexpr std::uint32_t kMagicCompressed = 0x75465A4C;    // "LZFu"
constexpr std::uint32_t kMagicUncompressed = 0x414C454D;  // "MELA"
constexpr std::size_t kDictionarySize = 4096;
constexpr std::size_t kPreloadSize = 207;  // the dictionary's preloaded RTF words

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
  return std::string(kHeader) + "\\fromhtml1 " + kFonts + "{\\*\\htmltag64 " +
         Escape(html) + "}}";
}

std::string EncapsulateText(std::string_view text) {
  return std::string(kHeader) + "\\fromtext " + kFonts + "\\uc1\\f0\\fs20 " + Escape(text) +
         "}";
}

std::string NativeRtf(std::string_view text) {
  return std::string(kHeader) + kFonts + "\\uc1\\pard\\f0\\fs20 " + Escape(text) +
         "\\par}";
}

Bytes CompressedRtfStream(std::string_view rtf, bool compress) {
  Bytes body;
  ByteWriter b(body);
  if (compress) {
    // Every run of eight tokens starts with a control byte; literals only, then the reference to
    // the current dictionary position that marks the end of the data.
    std::size_t i = 0;
    bool ended = false;
    while (!ended) {
      std::size_t control_at = body.size();
      std::uint8_t control = 0;
      b.U8(0);
      for (int bit = 0; bit < 8; ++bit) {
        if (i < rtf.size()) {
          b.U8(std::uint8_t(rtf[i++]));
        } else {
          std::uint16_t position = std::uint16_t((kPreloadSize + rtf.size()) % kDictionarySize);
          std::uint16_t reference = std::uint16_t(position << 4);
          b.U8(std::uint8_t(reference >> 8));
          b.U8(std::uint8_t(reference));
          control = std::uint8_t(control | (1u << bit));
          ended = true;
          break;
        }
      }
      body[control_at] = std::byte{control};
    }
  } else {
    b.Put(AsBytes(rtf));
  }
  Bytes out;
  ByteWriter w(out);
  w.U32(std::uint32_t(body.size() + 12));  // COMPSIZE: everything after this field
  w.U32(std::uint32_t(rtf.size()));        // RAWSIZE
  w.U32(compress ? kMagicCompressed : kMagicUncompressed);
  w.U32(compress ? pst::ComputeCrc(0, body) : 0);
  w.Put(body);
  return out;
}

}  // namespace pstwriter
