// The index summary from the top-level header alone. The three values are made by the same field
// reader, address parse and list split that the header object's accessors use (FromAddress,
// ToList, Subject), over views of the header's lines, without making the value objects.
#include "mime/index_summary.h"

#include <vector>

#include "mime/email_address.h"
#include "mime/email_address_list.h"
#include "mime/encoded_words.h"
#include "mime/header_fields.h"
#include "mime/text_lines.h"

namespace mime {
namespace {

// Room for the lines of most headers at once.
constexpr std::size_t kUsualHeaderLines = 32;

// The lines of the header up to the empty line that ends it; none when no empty line ends it (a
// header object is then left empty).
std::vector<std::string_view> HeaderLines(std::string_view text) {
  std::vector<std::string_view> lines;
  lines.reserve(kUsualHeaderLines);
  LineReader reader(text);
  if (!ReadHeaderBlock(reader, lines)) lines.clear();
  return lines;
}

}  // namespace

TMimeIndexSummary ReadIndexSummary(std::string_view text) {
  const std::vector<std::string_view> lines = HeaderLines(text);
  return {DisplayTextOf(ReadField(lines, "From")), DisplayListOf(ReadField(lines, "To")),
          DecodeHeaderText(ReadField(lines, "Subject", true))};
}

}  // namespace mime
