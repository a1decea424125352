// The "Q" encoding of header words and quoted-printable decoding of bodies.
#pragma once

#include <string>
#include <string_view>

#include "mime/text_lines.h"

namespace mime {

// Two characters read as hexadecimal after upper-casing; characters that are not hex digits are
// ignored ("4G" gives 4).
unsigned char ReadHexPair(char high, char low);

// Space to "_"; "=", "?", "_", "~" and bytes 127-255 to "=XX"; everything else copied.
std::string EncodeQ(std::string_view text);
// "_" to space, "=XX" to a byte; an "=" with fewer than two characters after it ends the text.
std::string DecodeQ(std::string_view text);

// Quoted-printable body decoding, appending to out; returns the number of bytes appended.
size_t DecodeQuotedPrintable(std::string_view text, std::string& out);
// The same, with the escaped bytes converted from charset to UTF-8 (no conversion for an empty
// charset, "utf-8" or "ascii").
size_t DecodeQuotedPrintableToUtf8(std::string_view text, std::string_view charset,
                                   std::string& out);

// Quoted-printable lines of at most 76 characters: CR LF in data is a line break, other bytes
// outside 33-126 (and "=") are escaped, blanks only where a line does not end.
void EncodeQuotedPrintableLines(std::string_view data, LineList& lines);
// The same lines, each followed by CR LF, appended to out.
void AppendQuotedPrintable(std::string_view data, std::string& out);

}  // namespace mime
