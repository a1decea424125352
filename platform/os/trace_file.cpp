// The trace file named by PST2XMZ_TRACE, opened once on first use.
#include "platform/os/trace_file.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/os/debug_output.h"

namespace os {
namespace {

constexpr const char* kTraceVariable = "PST2XMZ_TRACE";

}  // namespace

void TraceFile::Write(std::string_view text) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (!opened_) {
    opened_ = true;
    const char* target = std::getenv(kTraceVariable);
    if (target && std::strcmp(target, "-") == 0) {
      file_ = stderr;
    } else if (std::string path = TraceFilePath(); !path.empty()) {
      file_ = std::fopen(path.c_str(), "ab");
    }
  }
  if (!file_) return;
  std::fwrite(text.data(), 1, text.size(), file_);
  std::fputc('\n', file_);
  std::fflush(file_);
}

std::string TraceFilePath() {
  const char* target = std::getenv(kTraceVariable);
  if (!target || !*target || std::strcmp(target, "-") == 0) return {};
  return target;
}

}  // namespace os
