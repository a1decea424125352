// RTF that encapsulates HTML (\fromhtml1), as the platform's store derives PR_RTF_COMPRESSED for a
// message that holds HTML only: the HTML goes into one \*\htmltag group, with backslashes and
// braces escaped and every byte outside printable ASCII (line ends included) as a hex escape, so
// that a de-encapsulating reader gets the HTML back byte for byte. \ansicpg names the HTML's code
// page. The escaping works byte by byte, so the RTF can be made in pieces and its size known
// beforehand.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mapilib {

// The RTF up to the start of the HTML, and after its end.
std::string EncapsulatingRtfHead(std::uint32_t code_page);
inline constexpr std::string_view kEncapsulatingRtfTail = "}}";

// Bytes of RTF that html takes once escaped (NUL bytes take none: they are left out).
std::size_t EscapedHtmlSize(std::string_view html);
// Appends the escaped html to out.
void AppendEscapedHtml(std::string_view html, std::string& out);

// The whole RTF for html.
std::string EncapsulateHtml(std::string_view html, std::uint32_t code_page);

}  // namespace mapilib
