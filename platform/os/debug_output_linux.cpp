// Trace lines to the file named by PST2XMZ_TRACE, opened once on first use.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/os/debug_output.h"

namespace os {
namespace {

constexpr const char* kTraceVariable = "PST2XMZ_TRACE";

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
      const char* target = std::getenv(kTraceVariable);
      if (target && std::strcmp(target, "-") == 0) {
        file_ = stderr;
      } else if (std::string path = TraceFilePath(); !path.empty()) {
        file_ = std::fopen(path.c_str(), "ab");
      }
    }
    return file_;
  }

  bool opened_ = false;
  std::FILE* file_ = nullptr;  // stays open for the life of the process
};

TraceFileOutput system_output;
ServiceSlot<DebugOutput> slot(system_output);

}  // namespace

std::string TraceFilePath() {
  const char* target = std::getenv(kTraceVariable);
  if (!target || !*target || std::strcmp(target, "-") == 0) return {};
  return target;
}

DebugOutput& CurrentDebugOutput() { return slot.get(); }
DebugOutput* InstallDebugOutput(DebugOutput* replacement) { return slot.install(replacement); }

}  // namespace os
