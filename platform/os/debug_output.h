// Debugger output: where trace texts go. On Linux the texts are appended, one line each, to the
// file named by PST2XMZ_TRACE ("-" for standard error); without it nothing is written. Never fails.
#pragma once

#include <string>
#include <string_view>

#include "platform/os/service_slot.h"

namespace os {

class DebugOutput {
 public:
  virtual ~DebugOutput() = default;
  virtual void Write(std::string_view text) = 0;
};

DebugOutput& CurrentDebugOutput();
DebugOutput* InstallDebugOutput(DebugOutput* replacement);
using ScopedDebugOutput = ScopedService<DebugOutput, &InstallDebugOutput>;

// The file that PST2XMZ_TRACE names; empty when it names none or standard error ("-").
std::string TraceFilePath();

}  // namespace os
