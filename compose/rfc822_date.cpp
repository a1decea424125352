// RFC 822 dates of synthesised headers.
#include "compose/rfc822_date.h"

#include <cstdio>
#include <stdexcept>

#include "platform/os/calendar_names.h"
#include "platform/os/clock.h"

namespace compose {
namespace {

// Date-time values of 1 January 0001 00:00 and 1 January 10000 00:00.
constexpr double kFirstDate = -693593.0;
constexpr double kPastLastDate = 2958466.0;

// "+hhmm" east of UTC, "-hhmm" west of it and at UTC itself.
std::string ZoneText(int utc_offset_minutes) {
  int bias = -utc_offset_minutes;  // UTC minus local
  char sign = '-';
  if (bias < 0) {
    sign = '+';
    bias = -bias;
  }
  char zone[16];
  std::snprintf(zone, sizeof zone, "%c%02d%02d", sign, bias / 60 % 100, bias % 60);
  return zone;
}

}  // namespace

std::string FormatRfc822Date(double date_time, int utc_offset_minutes) {
  if (!(date_time >= kFirstDate && date_time < kPastLastDate)) {
    throw std::out_of_range("date-time value outside the calendar");
  }
  const os::LocalTime t = os::FromDateTime(date_time);
  const std::string day_name(os::ShortDayName(t.day_of_week));
  const std::string month_name(os::ShortMonthName(t.month));
  char text[64];
  std::snprintf(text, sizeof text, "%s, %02d %s %d %02d:%02d:%02d ", day_name.c_str(), t.day,
                month_name.c_str(), t.year, t.hour, t.minute, t.second);
  return text + ZoneText(utc_offset_minutes);
}

}  // namespace compose
