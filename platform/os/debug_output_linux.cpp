// Trace lines to the file named by PST2XMZ_TRACE.
#include "platform/os/debug_output.h"
#include "platform/os/trace_file.h"

namespace os {
namespace {

class TraceFileOutput final : public DebugOutput {
 public:
  void Write(std::string_view text) override { file_.Write(text); }

 private:
  TraceFile file_;
};

TraceFileOutput system_output;
ServiceSlot<DebugOutput> slot(system_output);

}  // namespace

DebugOutput& CurrentDebugOutput() { return slot.get(); }
DebugOutput* InstallDebugOutput(DebugOutput* replacement) { return slot.install(replacement); }

}  // namespace os
