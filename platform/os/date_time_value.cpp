// Date-time values (days since 30 December 1899) to and from broken-down times, on the proleptic
// Gregorian calendar; the same on every platform.
#include <cstdint>

#include "platform/os/clock.h"

namespace os {
namespace {

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

constexpr std::int64_t kDaysFrom1899To1970 = 25569;

}  // namespace

double ToDateTime(const LocalTime& t) {
  double days = static_cast<double>(DaysFromCivil(t.year, t.month, t.day) + kDaysFrom1899To1970);
  double fraction =
      (t.hour * 3600000.0 + t.minute * 60000.0 + t.second * 1000.0 + t.millisecond) / 86400000.0;
  return days + fraction;
}

LocalTime FromDateTime(double date_time) {
  // Beyond about 270,000 years (or not a number) the millisecond count below would overflow.
  constexpr double kMaxDays = 1e8;
  if (!(date_time >= -kMaxDays && date_time <= kMaxDays)) return LocalTime{};
  // Milliseconds since 1899-12-30, rounded, so that 0.5 ms noise does not drop a second.
  double total_ms = date_time * 86400000.0;
  std::int64_t ms = static_cast<std::int64_t>(total_ms < 0 ? total_ms - 0.5 : total_ms + 0.5);
  std::int64_t days = ms / 86400000;
  std::int64_t rest = ms % 86400000;
  if (rest < 0) {
    rest += 86400000;
    --days;
  }
  std::int64_t z = days - kDaysFrom1899To1970 + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  LocalTime t;
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2));
  t.hour = static_cast<int>(rest / 3600000);
  t.minute = static_cast<int>(rest / 60000 % 60);
  t.second = static_cast<int>(rest / 1000 % 60);
  t.millisecond = static_cast<int>(rest % 1000);
  std::int64_t weekday = (days - kDaysFrom1899To1970 + 4) % 7;  // 1970-01-01 was a Thursday
  t.day_of_week = static_cast<int>(weekday < 0 ? weekday + 7 : weekday);
  return t;
}

}  // namespace os
