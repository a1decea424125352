// HTML and plain text out of encapsulating RTF, through the shared RTF reader, with the RTF's code
// page decoded by the character-set registry.
#include "compose/rtf_body.h"

#include <algorithm>
#include <functional>

#include "compose/char_codes.h"
#include "mime/numeric_references.h"
#include "support/rtf/rtf_extract.h"

namespace compose {
namespace {

// RTF without \ansicpg is in the ANSI default code page.
constexpr std::string_view kDefaultCodePage = "1252";

std::string DecodeCodePage(std::string_view bytes, std::string_view code_page) {
  return ConvertCharset(bytes, code_page.empty() ? kDefaultCodePage : code_page, "utf8");
}

// A backslash starts nearly every RTF word, so a search that steps from one to the next is slow;
// this one skips ahead by the marker's length.
bool Holds(std::string_view rtf, std::string_view marker) {
  return std::search(rtf.begin(), rtf.end(),
                     std::boyer_moore_horspool_searcher(marker.begin(), marker.end())) != rtf.end();
}

}  // namespace

bool IsHtmlRtf(std::string_view rtf) { return Holds(rtf, "\\fromhtml"); }
bool IsTextRtf(std::string_view rtf) { return Holds(rtf, "\\fromtext"); }

std::string HtmlFromRtf(std::string_view rtf) {
  return mime::ToNumericReferences(rtf::TakeFromRtf(rtf, rtf::Take::kHtml, DecodeCodePage));
}

std::string TextFromRtf(std::string_view rtf) {
  return rtf::TakeFromRtf(rtf, rtf::Take::kText, DecodeCodePage);
}

}  // namespace compose
