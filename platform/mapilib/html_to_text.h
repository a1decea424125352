// Plain text from HTML, for a message that stores its body as HTML only: what a reader sees, with
// block elements and <br> as line breaks, entities and numeric references decoded, white space
// collapsed outside <pre>, and scripts, styles, the title and comments left out.
#pragma once

#include <string>
#include <string_view>

namespace mapilib {

// html and the result are UTF-8; lines end with CR LF.
std::string HtmlToText(std::string_view html);

}  // namespace mapilib
