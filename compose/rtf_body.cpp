// HTML and plain text out of encapsulating RTF, through the shared RTF reader, with the RTF's code
// page decoded by the character-set registry.
#include "compose/rtf_body.h"

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

}  // namespace

bool IsHtmlRtf(std::string_view rtf) { return rtf.find("\\fromhtml") != std::string_view::npos; }
bool IsTextRtf(std::string_view rtf) { return rtf.find("\\fromtext") != std::string_view::npos; }

std::string HtmlFromRtf(std::string_view rtf) {
  return mime::ToNumericReferences(rtf::TakeFromRtf(rtf, rtf::Take::kHtml, DecodeCodePage));
}

std::string TextFromRtf(std::string_view rtf) {
  return rtf::TakeFromRtf(rtf, rtf::Take::kText, DecodeCodePage);
}

}  // namespace compose
