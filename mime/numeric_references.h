// UTF-8 to HTML-ready text: every multi-byte sequence becomes a numeric character reference.
#pragma once

#include <string>
#include <string_view>

namespace mime {

// Bytes below 128 are copied; each sequence with the high bit set becomes "&#N;" with its code
// point N. A stray continuation byte (0x80-0xBF) becomes the reference for U+FFFD. A sequence cut
// short by the end of the text or by a NUL byte keeps the bits it has; the NUL is copied.
std::string ToNumericReferences(std::string_view utf8);

}  // namespace mime
