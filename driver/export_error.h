// The errors that end an export run. Each carries the kind of failure the top level names in its
// report on standard error, and the exit code the program ends with.
#pragma once

#include <string>
#include <utility>

#include "support/diag/error.h"

namespace driver {

enum ExitCode : int {
  kExitExported = 0,           // everything exported (also: the banner)
  kExitPartlyExported = 3,     // the run completed, but some messages or folders were not exported
  kExitRunFailed = 1,          // the file could not be read, or the archive could not be written
  kExitInvalidParameters = 2,  // a missing option, or an output path that names another file
};

// The program's ordinary error, with the kind of failure and the exit code.
class ExportError : public diag::EPlError {
 public:
  ExportError(std::string kind, const std::string& message, int exit_code = kExitRunFailed)
      : diag::EPlError(message), kind_(std::move(kind)), exit_code_(exit_code) {}

  const std::string& kind() const { return kind_; }
  int exit_code() const { return exit_code_; }

 private:
  std::string kind_;
  int exit_code_;
};

// A file of the run could not be created, written or closed.
inline ExportError FileError(const std::string& message) {
  return ExportError("File error", message);
}

// Text for a file that cannot be created: its full path and the system's reason.
inline std::string CannotCreateFileText(const std::string& path, const std::string& reason) {
  return "Cannot create file \"" + path + "\". " + reason;
}

// Text for a file that cannot be written or closed.
inline std::string CannotWriteFileText(const std::string& path, const std::string& reason) {
  return "Cannot write file \"" + path + "\". " + reason;
}

}  // namespace driver
