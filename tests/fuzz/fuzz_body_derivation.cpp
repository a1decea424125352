// libFuzzer target: the input read as RTF (text and HTML) and as HTML (to text) must be read
// without fault and with output bounded by the input; the input encapsulated as HTML in RTF must
// come back byte for byte (NUL bytes are left out by the encapsulation).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/mapilib/html_to_rtf.h"
#include "platform/mapilib/html_to_text.h"
#include "support/rtf/rtf_extract.h"

namespace {

std::string AsIs(std::string_view bytes, std::string_view) { return std::string(bytes); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // A \uN word of three bytes gives at most four bytes of UTF-8; a control symbol like \~ two.
  for (auto take : {rtf::Take::kText, rtf::Take::kHtml}) {
    if (rtf::TakeFromRtf(input, take, AsIs).size() > 2 * size + 4) std::abort();
  }
  if (mapilib::HtmlToText(input).size() > 4 * size + 4) std::abort();
  std::string html(input);
  std::erase(html, '\0');
  if (rtf::TakeFromRtf(mapilib::EncapsulateHtml(html, 1252), rtf::Take::kHtml, AsIs) != html) {
    std::abort();
  }
  return 0;
}
