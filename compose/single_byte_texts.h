// What each byte of a single-byte Windows code page becomes, in UTF-8 and in HTML, taken once from
// the character-set converter, so that text in such a code page is decoded a table lookup a byte.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace compose {

// The text of one byte, at most eight bytes long.
struct ByteText {
  char text[8];
  std::uint8_t size;
};
using ByteTexts = std::array<ByteText, 256>;

struct SingleByteTexts {
  ByteTexts utf8;
  ByteTexts html;  // non-ASCII characters as numeric references
};

// The texts of code page `code_page` ("874", "1250" to "1258"), made on first use; null for any
// other code page, or when the converter reads one of its bytes alone as nothing.
const SingleByteTexts* SingleByteTextsOf(std::string_view code_page);

// The texts of the bytes, one after another.
std::string Concatenate(std::string_view bytes, const ByteTexts& texts);

}  // namespace compose
