// Trace texts to the debugger (OutputDebugString), one call per line, and to the file named by
// PST2XMZ_TRACE when there is one.
#include <windows.h>

#include "platform/os/debug_output.h"
#include "platform/os/trace_file.h"

namespace os {
namespace {

class DebuggerOutput final : public DebugOutput {
 public:
  void Write(std::string_view text) override {
    std::string line(text);
    line.push_back('\n');
    OutputDebugStringA(line.c_str());
    file_.Write(text);
  }

 private:
  TraceFile file_;
};

DebuggerOutput system_output;
ServiceSlot<DebugOutput> slot(system_output);

}  // namespace

DebugOutput& CurrentDebugOutput() { return slot.get(); }
DebugOutput* InstallDebugOutput(DebugOutput* replacement) { return slot.install(replacement); }

}  // namespace os
