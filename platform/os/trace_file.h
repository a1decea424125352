// The trace file that PST2XMZ_TRACE names ("-" for standard error): the debug output of both
// systems appends each text to it as one line. Used by debug_output_*.cpp only.
#pragma once

#include <cstdio>
#include <mutex>
#include <string_view>

namespace os {

class TraceFile {
 public:
  // Appends `text` and a line end; does nothing when no file is named or it cannot be opened. The
  // variable is read, and the file opened, at the first text; the file stays open from then on.
  // Callable from any thread: each text lands as one whole line.
  void Write(std::string_view text);

 private:
  std::mutex mutex_;  // guards both members and the writing of a line
  bool opened_ = false;
  std::FILE* file_ = nullptr;
};

}  // namespace os
