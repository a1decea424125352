// The facts of a file's header and store object, for people: variant, version, encoding, sizes,
// how many nodes and blocks the B-trees hold, and where the special folders are.
#pragma once

#include <ostream>
#include <string>

#include "platform/pst/messaging/message_store.h"
#include "tools/pstinfo/problem_log.h"

namespace pstinfo {

// `path` is shown as given.
void PrintHeaderReport(const pst::messaging::MessageStore& store, const std::string& path,
                       std::ostream& out, ProblemLog& problems);

}  // namespace pstinfo
