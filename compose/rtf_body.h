// HTML and plain text recovered from RTF that encapsulates them (marked \fromhtml or \fromtext), by
// two single-pass scanners over the RTF text.
#pragma once

#include <string>
#include <string_view>

namespace compose {

bool IsHtmlRtf(std::string_view rtf);  // holds "\fromhtml"
bool IsTextRtf(std::string_view rtf);  // holds "\fromtext"

// The HTML: the text of \*\htmltag groups and the text not marked RTF-only (\htmlrtf ...
// \htmlrtf0), converted from the RTF's code page and written with numeric character references
// only.
std::string HtmlFromRtf(std::string_view rtf);
// The document's text outside destinations, \par and \line as CR LF, \tab as a tab, in UTF-8.
std::string TextFromRtf(std::string_view rtf);

}  // namespace compose
