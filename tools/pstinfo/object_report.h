// One object by node id: every property of a store, folder, message or other property context,
// or the columns and row count of a table node. A message also lists its attachments.
#pragma once

#include <ostream>

#include "platform/pst/messaging/message_store.h"

namespace pstinfo {

// Fails (nothing useful printed) when the node does not exist or cannot be read.
pst::Status PrintObject(const pst::messaging::MessageStore& store, pst::ndb::NodeId id,
                        std::ostream& out);

}  // namespace pstinfo
