// Debug trace: one text to the debugger output (os::CurrentDebugOutput), unchanged, without a line
// end or prefix. Always active and never fails; the output decides whether anything is written.
#pragma once

#include <string>
#include <string_view>

namespace diag {

void DebugTrace(std::string_view text);

// The file the trace is appended to; empty when the trace goes nowhere or to standard error.
std::string DebugTraceFile();

}  // namespace diag
