// The folder tree: as tab-separated lines for scripts (--tree), or indented for people.
#pragma once

#include <ostream>

#include "platform/pst/messaging/message_store.h"
#include "tools/pstinfo/problem_log.h"

namespace pstinfo {

// One line per folder: depth, node id, messages, container class or "-", display name.
void PrintTreeLines(const pst::messaging::MessageStore& store, std::ostream& out,
                    ProblemLog& problems);
// One indented line per folder: name, message count, class and node id.
void PrintTreeOutline(const pst::messaging::MessageStore& store, std::ostream& out,
                      ProblemLog& problems);

}  // namespace pstinfo
