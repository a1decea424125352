// Trace lines to the file named by PST2XMZ_TRACE, opened once on first use.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/os/debug_output.h"

namespace os {
namespace {

class TraceFileOutput final : public DebugOutput {
 public:
  void Write(std::string_view text) override {
    std::FILE* f = File();
    if (!f) return;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fputc('\n', f);
    std::fflush(f);
  }

 private:
  std::FILE* File() {
    if (!opened_) {
      opened_ = true;
      const char* target = std::getenv("PST2XMZ_TRACE");
      if (target && *target) file_ = std::strcmp(target, "-") == 0 ? stderr : std::fopen(target, "ab");
    }
    return file_;
  }

  bool opened_ = false;
  std::FILE* file_ = nullptr;  // stays open for the life of the process
};

TraceFileOutput system_output;
ServiceSlot<DebugOutput> slot(system_output);

}  // namespace

DebugOutput& CurrentDebugOutput() { return slot.get(); }
DebugOutput* InstallDebugOutput(DebugOutput* replacement) { return slot.install(replacement); }

}  // namespace os
