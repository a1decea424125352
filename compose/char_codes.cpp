// Hexadecimal digits, conversion by name, line breaks blanked.
#include "compose/char_codes.h"

#include "support/charset/pl_converter.h"

namespace compose {

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
