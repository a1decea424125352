// Debugger output: where trace texts go. They are appended, one line each, to the file named by
// PST2XMZ_TRACE ("-" for standard error); on Windows each also goes to the debugger
// (OutputDebugString). Without the variable nothing is written on Linux. Never fails.
#pragma once

#include <string>
#include <string_view>

#include "platform/os/service_slot.h"

namespace os {

class DebugOutput {
 public:
  virtual ~DebugOutput() = default;
  // May be called from several threads at once (messages are composed on several); the system
  // implementations write each text as one whole line.
  virtual void Write(std::string_view text) = 0;
};

DebugOutput& CurrentDebugOutput();
DebugOutput* InstallDebugOutput(DebugOutput* replacement);
using ScopedDebugOutput = ScopedService<DebugOutput, &InstallDebugOutput>;

// The file that PST2XMZ_TRACE names; empty when it names none or standard error ("-").
std::string TraceFilePath();

}  // namespace os
