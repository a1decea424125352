// Text as the file stores it: UTF-16LE in Unicode files, the store's code page in ANSI files.
// Input is UTF-8; what cannot be represented is refused, never replaced.
#pragma once

#include <cstdint>
#include <string_view>

#include "tools/pstwriter/byte_writer.h"

namespace pstwriter {

// Throws WriteError on malformed UTF-8.
Bytes Utf8ToUtf16le(std::string_view utf8);
// Throws WriteError naming the text and code page when a character has no encoding there.
Bytes Utf8ToCodePage(std::string_view utf8, std::uint32_t code_page);

}  // namespace pstwriter
