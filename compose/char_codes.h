// Character helpers of the composer: hexadecimal digits, character-set conversion by name, line
// breaks blanked for header lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace compose {

// The value of the hexadecimal digits in text (either case); other characters are skipped.
std::uint64_t ParseHexDigits(std::string_view text);

// text converted from the character set named from to the one named to ("1252", "utf8", ...).
std::string ConvertCharset(std::string_view text, std::string_view from, std::string_view to);

// text with every CR, LF and NUL turned into a blank: data that goes into a header line.
std::string BlankLineBreaks(std::string_view text);

}  // namespace compose
