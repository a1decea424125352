// The process's thread status writer, decided once at start-up: it runs only when a marker file
// lies beside the program (the program's path with its extension replaced by ".t"), and writes the
// status file beside it (extension ".thr"). On Linux an executable usually has no extension, so
// the marker of /usr/bin/pst2xmz is /usr/bin/pst2xmz.t.
//
// The program calls StartThreadStatus at the very start of main (or holds a ScopedThreadStatus
// there) and StopThreadStatus at the end.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "support/diag/thread_status.h"

namespace diag {

// The path with the extension of its file name replaced (or added when it has none). The extension
// starts at the last "." of the file name, unless that "." is the name's first character.
std::string ReplaceExtension(std::string_view path, std::string_view extension);

struct ThreadStatusFiles {
  std::string marker;  // <program>.t
  std::string status;  // <program>.thr
};
ThreadStatusFiles ThreadStatusFilesFor(std::string_view program_path);

// Sets up the status registry for the running executable and starts the writer when the marker
// exists. True when the writer runs. A second start replaces the first.
bool StartThreadStatus();
// The same for another program path and interval (tests).
bool StartThreadStatusFor(std::string_view program_path,
                          std::chrono::milliseconds interval = TThreadStatusWriter::kInterval);
// Clears the enabled flag, stops the writer and releases the records.
void StopThreadStatus();

bool ThreadStatusEnabled();
// The registry between start and stop (enabled or not); null otherwise.
TThreadStatusRegistry* ThreadStatusRecords();
// The running writer, or null.
const TThreadStatusWriter* ThreadStatusWriter();

// Start in the constructor, stop in the destructor.
class ScopedThreadStatus {
 public:
  ScopedThreadStatus() { StartThreadStatus(); }
  ~ScopedThreadStatus() { StopThreadStatus(); }
  ScopedThreadStatus(const ScopedThreadStatus&) = delete;
  ScopedThreadStatus& operator=(const ScopedThreadStatus&) = delete;
};

}  // namespace diag
