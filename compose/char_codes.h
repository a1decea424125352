// Character helpers of the RTF scanners: hexadecimal digits, UTF-8 lead bytes, UTF-8 to numeric
// character references, and character-set conversion by name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace compose {

// The value of the hexadecimal digits in text (either case); other characters are skipped.
std::uint64_t ParseHexDigits(std::string_view text);

// The number of continuation bytes a UTF-8 lead byte announces (0 to 6); payload receives the lead
// byte's data bits when the count is not 0.
int Utf8LeadLength(unsigned char lead, std::uint32_t& payload);

// Copies bytes below 0x80 and writes each multi-byte sequence as "&#N;" with its code point N.
// A byte from 0x80 up that announces no continuation (a stray continuation byte) gives U+FFFD.
std::string Utf8ToCharRefs(std::string_view utf8);

// text converted from the character set named from to the one named to ("1252", "utf8", ...).
std::string ConvertCharset(std::string_view text, std::string_view from, std::string_view to);

// text with every CR, LF and NUL turned into a blank: data that goes into a header line.
std::string BlankLineBreaks(std::string_view text);

}  // namespace compose
