// Damage met while listing a file: each problem is written to standard error at once, and the
// count decides the exit code (3 when something could not be read but the rest was printed).
#pragma once

#include <cstddef>
#include <ostream>
#include <string>

#include "platform/pst/result.h"

namespace pstinfo {

class ProblemLog {
 public:
  explicit ProblemLog(std::ostream& out) : out_(out) {}

  // Writes "pstinfo: <what>: <status message>".
  void Report(const std::string& what, const pst::Status& status);
  std::size_t count() const { return count_; }

 private:
  std::ostream& out_;
  std::size_t count_ = 0;
};

}  // namespace pstinfo
