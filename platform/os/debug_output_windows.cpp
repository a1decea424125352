// Trace texts to the debugger (OutputDebugString), one call per line.
#include <windows.h>

#include "platform/os/debug_output.h"

namespace os {
namespace {

class DebuggerOutput final : public DebugOutput {
 public:
  void Write(std::string_view text) override {
    std::string line(text);
    line.push_back('\n');
    OutputDebugStringA(line.c_str());
  }
};

DebuggerOutput system_output;
ServiceSlot<DebugOutput> slot(system_output);

}  // namespace

// Windows traces go to the debugger, never to a file.
std::string TraceFilePath() { return {}; }

DebugOutput& CurrentDebugOutput() { return slot.get(); }
DebugOutput* InstallDebugOutput(DebugOutput* replacement) { return slot.install(replacement); }

}  // namespace os
