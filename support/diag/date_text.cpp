// "YYYY-MM-DD hh:mm:ss" from a date-time value.
#include "support/diag/date_text.h"

#include <cstdio>

#include "platform/os/clock.h"

namespace diag {

std::string FormatDateTime(double date_time) {
  const os::LocalTime t = os::FromDateTime(date_time);
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

}  // namespace diag
