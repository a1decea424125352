// --messages: one line per message of every folder, with the digests of its attachments' bytes.
//
//   folder-id TAB message-id TAB subject TAB attachment-count [TAB sha256 ...]
//
// The count is of the message's own attachments. The digests follow the attachments depth-first:
// a by-value attachment gives the SHA-256 of its data ("-" when it has none), an embedded message
// gives the digests of its own attachments in its place, other kinds give nothing. A message that
// cannot be read is reported and left out; its folder's other messages are still listed.
#pragma once

#include <ostream>

#include "platform/pst/messaging/message_store.h"
#include "tools/pstinfo/problem_log.h"

namespace pstinfo {

void PrintMessageLines(const pst::messaging::MessageStore& store, std::ostream& out,
                       ProblemLog& problems);

}  // namespace pstinfo
