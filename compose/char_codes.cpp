// Hexadecimal digits, UTF-8 sequences and character references, conversion by name.
#include "compose/char_codes.h"

#include "support/charset/pl_converter.h"

namespace compose {
namespace {

constexpr std::uint64_t kReplacementCharacter = 0xFFFD;

}  // namespace

std::uint64_t ParseHexDigits(std::string_view text) {
  std::uint64_t result = 0;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      result = result * 16 + static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      result = result * 16 + static_cast<unsigned>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      result = result * 16 + static_cast<unsigned>(c - 'A' + 10);
    }
  }
  return result;
}

int Utf8LeadLength(unsigned char lead, std::uint32_t& payload) {
  unsigned mask = 0xC0;
  unsigned bit = 0x40;
  int n = 0;
  while (n < 6 && (lead & mask) == mask) {
    payload = lead & ~mask & 0xFF;
    bit >>= 1;
    mask |= bit;
    ++n;
  }
  return n;
}

std::string Utf8ToCharRefs(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte < 0x80) {
      out += static_cast<char>(byte);
      continue;
    }
    std::uint32_t payload = 0;
    const int n = Utf8LeadLength(byte, payload);
    std::uint64_t code_point = n == 0 ? kReplacementCharacter : payload;
    for (int k = 0; k < n && i + 1 < utf8.size(); ++k) {
      ++i;
      code_point = code_point * 64 + (static_cast<unsigned char>(utf8[i]) & 0x3F);
    }
    out += "&#" + std::to_string(code_point) + ";";
  }
  return out;
}

std::string ConvertCharset(std::string_view text, std::string_view from, std::string_view to) {
  charset::TPlConverter converter(from, to);
  return converter.Convert(text);
}

std::string BlankLineBreaks(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  return out;
}

}  // namespace compose
