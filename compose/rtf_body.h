// HTML and plain text recovered from RTF that encapsulates them (marked \fromhtml or \fromtext), by
// two single-pass scanners over the RTF text.
#pragma once

#include <string>
#include <string_view>

namespace compose {

bool IsHtmlRtf(std::string_view rtf);  // holds "\fromhtml"
bool IsTextRtf(std::string_view rtf);  // holds "\fromtext"

// The HTML: tag texts of \*\htmltag groups and text of groups that saw \htmlrtf or \htmlrtf0,
// converted from the RTF's code page and written with numeric character references only.
std::string HtmlFromRtf(std::string_view rtf);
// The plain text of the group that holds \fromtext, \par as CR LF, converted to UTF-8.
std::string TextFromRtf(std::string_view rtf);

}  // namespace compose
