// Writing the part tree as text, and its size, line count and checksum.
#include "mime/mime_message.h"
#include "support/hash/crc32.h"

namespace mime {
namespace {

void AppendLine(std::string& out, std::string_view line) {
  out.append(line);
  out.append("\r\n");
}

}  // namespace

void TMimeMessage::WriteTo(std::string& out) const {
  mime::AppendJoinedLines(header_->Lines(), out);
  out.append("\r\n");
  mime::AppendJoinedLines(body_->Lines(), out);
  if (header_->IsMultipart()) {
    const std::string delimiter = "--" + header_->ContentType().BoundaryString();
    for (int i = 0; i < sub_parts_->Count(); ++i) {
      AppendLine(out, delimiter);
      sub_parts_->Item(i).WriteTo(out);
      out.append("\r\n");
    }
    AppendLine(out, delimiter + "--");
  } else {
    for (int i = 0; i < sub_parts_->Count(); ++i) sub_parts_->Item(i).WriteTo(out);
  }
}

// The written tree read back as lines: every line end becomes CR LF and a NUL byte ends the text.
std::string TMimeMessage::GetText() const {
  std::string written;
  WriteTo(written);
  std::string text;
  text.reserve(written.size());
  mime::ForEachLine(written, [&](std::string_view line) {
    AppendLine(text, line);
    return true;
  });
  return text;
}

long long TMimeMessage::Size() const {
  long long size = header_->Size() + body_->Size();
  if (header_->IsMultipart()) {
    const long long boundary =
        static_cast<long long>(header_->ContentType().BoundaryString().size());
    for (int i = 0; i < sub_parts_->Count(); ++i) size += boundary + 4 + sub_parts_->Item(i).Size();
    size += boundary + 6;
  } else {
    for (int i = 0; i < sub_parts_->Count(); ++i) size += sub_parts_->Item(i).Size();
  }
  return size;
}

int TMimeMessage::Lines() const {
  return header_->Count() + static_cast<int>(body_->Lines().size()) + 1;
}

std::uint32_t TMimeMessage::Crc32() const {
  hash::THashCrc32 crc;
  auto feed = [&crc](std::string_view bytes) { crc.Update(bytes); };
  // Depth-first, each part's envelope, header and body before its sub-parts.
  std::vector<const TMimeMessage*> pending{this};
  while (!pending.empty()) {
    const TMimeMessage* part = pending.back();
    pending.pop_back();
    part->envelope_->FeedAddresses(feed);
    part->header_->FeedLines(feed);
    for (const std::string& line : part->body_->Lines()) feed(line);
    for (int i = part->sub_parts_->Count() - 1; i >= 0; --i)
      pending.push_back(&part->sub_parts_->Item(i));
  }
  crc.Finish();
  return crc.Value();
}

}  // namespace mime
