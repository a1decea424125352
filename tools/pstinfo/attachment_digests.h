// The SHA-256 digests of a message's by-value attachment data, embedded messages' attachments
// included, in depth-first order.
#pragma once

#include <string>
#include <vector>

#include "platform/pst/ltp/value_stream.h"
#include "platform/pst/messaging/message.h"
#include "platform/pst/result.h"

namespace pstinfo {

// The hex digest of the whole stream, read in pieces.
pst::Result<std::string> StreamDigest(const pst::ltp::ValueStream& stream);

struct AttachmentSummary {
  std::size_t count = 0;             // the message's own attachments
  std::vector<std::string> digests;  // every by-value attachment below it, depth-first
};

// The first damaged attachment or embedded message fails the whole summary.
pst::Result<AttachmentSummary> SummarizeAttachments(const pst::messaging::Message& message);

}  // namespace pstinfo
