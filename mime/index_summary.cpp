// The index summary from the top-level header alone: the same header object a full parse would
// fill, so the three values cannot differ from it.
#include "mime/index_summary.h"

#include "mime/header_fields.h"
#include "mime/mime_header.h"

namespace mime {

TMimeIndexSummary ReadIndexSummary(std::string_view text) {
  TMimeHeader header;
  mime::LineReader reader(text);
  mime::LineList lines;
  if (mime::ReadHeaderBlock(reader, lines)) header.SetLines(std::move(lines));
  return {header.FromAddress().DisplayText(), header.ToList().DisplayList(), header.Subject()};
}

}  // namespace mime
