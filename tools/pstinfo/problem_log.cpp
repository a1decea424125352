// Problem reporting of the inspector.
#include "tools/pstinfo/problem_log.h"

namespace pstinfo {

void ProblemLog::Report(const std::string& what, const pst::Status& status) {
  ++count_;
  out_ << "pstinfo: " << what << ": " << status.message() << '\n';
}

}  // namespace pstinfo
