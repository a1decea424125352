// Debug trace through the platform's debugger output.
#include "support/diag/debug_trace.h"

#include "platform/os/debug_output.h"

namespace diag {

void DebugTrace(std::string_view text) { os::CurrentDebugOutput().Write(text); }

std::string DebugTraceFile() { return os::TraceFilePath(); }

}  // namespace diag
