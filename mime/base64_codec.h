// Base64 (RFC 2045 alphabet) for header words and message bodies.
#pragma once

#include <string>
#include <string_view>

#include "mime/text_lines.h"

namespace mime {

// Bytes of a "B" encoded word: characters outside the alphabet ("=" included) are skipped, a final
// group of two or three characters gives one or two bytes; the result ends at its first zero byte.
std::string DecodeBase64Word(std::string_view text);

// Appends data as base64 lines of 72 characters (54 bytes each, the last one shorter); empty data
// gives one empty line.
void EncodeBase64Lines(std::string_view data, LineList& lines);

// Decodes each line on its own up to its first "=" (characters outside the alphabet skipped) and
// appends the bytes, zero bytes included, to out. Returns the number of bytes appended.
size_t DecodeBase64Lines(const LineList& lines, std::string& out);

}  // namespace mime
