// libFuzzer target: any bytes as message text go through the parse, the header-only summary, the
// writer and the header accessors of the first parts. The summary must equal the full parse's.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "mime/index_summary.h"
#include "mime/mime_message.h"

namespace {

void Touch(mime::TMimeMessage& part) {
  mime::TMimeHeader& h = part.Header();
  (void)h.FromAddress().DisplayTextUtf();
  (void)h.ToList().DisplayListUtf();
  (void)h.CcList().EmailList();
  (void)h.DerivedReplyToAddress().GetText();
  (void)h.Subject();
  (void)h.Date();
  (void)h.Priority();
  (void)h.MessageIdHash();
  (void)h.Filename();
  (void)part.IsAttachment();
  (void)part.RenderForHtml();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  mime::TMimeMessage message;
  message.SetText(text);
  mime::TMimeIndexSummary summary = mime::ReadIndexSummary(text);
  if (summary.From != message.Header().FromAddress().DisplayText() ||
      summary.To != message.Header().ToList().DisplayList() ||
      summary.Subject != message.Header().Subject())
    std::abort();
  (void)message.GetText();
  (void)message.Size();
  (void)message.Crc32();
  std::vector<mime::TMimeMessage*> parts{&message};
  for (std::size_t i = 0; i < parts.size() && parts.size() < 16; ++i)
    for (int k = 0; k < parts[i]->SubParts().Count() && parts.size() < 16; ++k)
      parts.push_back(&parts[i]->SubParts().Item(k));
  for (mime::TMimeMessage* part : parts) Touch(*part);
  (void)message.Plaintext();
  (void)message.Html();
  return 0;
}
