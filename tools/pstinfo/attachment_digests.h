// The SHA-256 digests of a message's by-value attachment data, embedded messages' attachments
// included, in depth-first order.
#pragma once

#include <string>
#include <vector>

#include "platform/pst/ltp/value_stream.h"
#include "platform/pst/messaging/message.h"
#include "platform/pst/util/result.h"

namespace pstinfo {

// The hex digest of the whole stream, read in pieces.
pst::Result<std::string> StreamDigest(const pst::ltp::ValueStream& stream);

// Digests of every by-value attachment below `message`; the first damaged attachment or embedded
// message fails the whole list.
pst::Result<std::vector<std::string>> AttachmentDigests(const pst::messaging::Message& message);

}  // namespace pstinfo
