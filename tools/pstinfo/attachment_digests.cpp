// Attachment digests for the message listing.
#include "tools/pstinfo/attachment_digests.h"

#include <array>

#include "tools/pstinfo/sha256.h"
#include "tools/pstinfo/text_format.h"

namespace pstinfo {
namespace {

using pst::ErrorCode;
using pst::Result;
using pst::Status;
using pst::messaging::Attachment;
using pst::messaging::Message;

constexpr std::int32_t kAttachByValue = 1;          // ATTACH_BY_VALUE
constexpr std::int32_t kAttachEmbeddedMessage = 5;  // ATTACH_EMBEDDED_MSG
constexpr std::size_t kReadPiece = 64 * 1024;
constexpr const char* kNoData = "-";

Status Located(const std::string& where, const Status& status) {
  return Status(status.code(), where + ": " + status.message());
}

Status AddDigests(const Message& message, std::vector<std::string>& digests,
                  std::size_t* count = nullptr);

Status AddAttachmentDigests(const Attachment& attachment, std::vector<std::string>& digests) {
  const auto method = attachment.method();
  if (method == kAttachByValue) {
    auto data = attachment.OpenData();
    if (!data) {
      if (data.status().code() != ErrorCode::kNotFound) return data.status();
      digests.emplace_back(kNoData);
      return Status::Ok();
    }
    PST_ASSIGN_OR_RETURN(auto digest, StreamDigest(*data));
    digests.push_back(std::move(digest));
  } else if (method == kAttachEmbeddedMessage) {
    auto embedded = attachment.OpenEmbeddedMessage();
    if (!embedded) return Located("embedded message", embedded.status());
    return AddDigests(*embedded, digests);
  }
  return Status::Ok();
}

// `count`, when given, receives the number of the message's own attachments.
Status AddDigests(const Message& message, std::vector<std::string>& digests, std::size_t* count) {
  auto ids = message.AttachmentIds();
  if (!ids) return Located("attachment table", ids.status());
  if (count) *count = ids->size();
  for (pst::ndb::NodeId id : *ids) {
    const std::string where = "attachment " + HexId(id);
    auto attachment = message.OpenAttachment(id);
    if (!attachment) return Located(where, attachment.status());
    Status status = AddAttachmentDigests(*attachment, digests);
    if (!status.ok()) return Located(where, status);
  }
  return Status::Ok();
}

}  // namespace

Result<std::string> StreamDigest(const pst::ltp::ValueStream& stream) {
  Sha256 sha;
  std::vector<std::byte> piece(kReadPiece);
  for (std::uint64_t offset = 0; offset < stream.size();) {
    PST_ASSIGN_OR_RETURN(auto n, stream.ReadAt(offset, piece));
    if (n == 0)
      return Status::Corrupt("data ends at " + std::to_string(offset) + " of " +
                             std::to_string(stream.size()) + " bytes");
    sha.Update(std::span(piece.data(), n));
    offset += n;
  }
  return ToHex(sha.Finish());
}

Result<AttachmentSummary> SummarizeAttachments(const Message& message) {
  AttachmentSummary summary;
  Status status = AddDigests(message, summary.digests, &summary.count);
  if (!status.ok()) return status;
  return summary;
}

}  // namespace pstinfo
