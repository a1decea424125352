// Date-time values (days since 30 December 1899, fraction = time of day) as the text the program's
// diagnostics and automation values show: "YYYY-MM-DD hh:mm:ss".
#pragma once

#include <string>

namespace diag {

std::string FormatDateTime(double date_time);

}  // namespace diag
