// Text taken out of RTF by a single pass that follows RTF's own grammar: groups, control words
// with their parameter and delimiting blank, control symbols, hex escapes and \uN with its \ucN
// fallback count. Destinations (font, colour and style tables, \info, \pict, starred groups) hold
// no text. Two readings: the document's text, and the HTML that RTF encapsulating HTML carries
// (\*\htmltag groups and text not marked RTF-only by \htmlrtf).
#pragma once

#include <string>
#include <string_view>

namespace rtf {

enum class Take {
  kText,  // the text a reader of the document sees; \par and \line as CR LF, \tab as a tab
  kHtml,  // the encapsulated HTML, byte for byte as the encapsulating writer received it
};

// Turns bytes in the RTF's code page into UTF-8; code_page holds the digits of the last \ansicpg
// seen, empty when there was none.
using CodePageDecoder = std::string (*)(std::string_view bytes, std::string_view code_page);

// The text, in UTF-8. Accepts any input: unbalanced braces and cut-off words end nothing early.
std::string TakeFromRtf(std::string_view rtf, Take take, CodePageDecoder decode);

}  // namespace rtf
