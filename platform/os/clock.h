// Time sources: tick count, the current local time and the local zone's offset from UTC.
// Date-time values are days since 30 December 1899 00:00, the fraction being the time of day.
#pragma once

#include <cstdint>

#include "platform/os/service_slot.h"

namespace os {

// A broken-down local time.
struct LocalTime {
  int year = 1899, month = 12, day = 30;  // month 1..12
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  int day_of_week = 6;  // 0 = Sunday
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Monotonic milliseconds, wrapping at 32 bits.
  virtual std::uint32_t TickCount() const = 0;
  // Now, in the local time zone.
  virtual LocalTime Now() const = 0;
  // Minutes to add to UTC to get local time, at the given UTC instant (seconds since 1970).
  virtual int UtcOffsetMinutes(std::int64_t unix_seconds) const = 0;
  // The offset in force now.
  virtual int CurrentUtcOffsetMinutes() const = 0;
};

// The clock in use: a test's replacement, else the fixed clock of fixed_clock.h when the
// environment asks for one, else SystemClock().
Clock& CurrentClock();
// The platform's own clock.
Clock& SystemClock();
Clock* InstallClock(Clock* replacement);
using ScopedClock = ScopedService<Clock, &InstallClock>;

// Date-time value <-> broken-down time (no zone conversion).
double ToDateTime(const LocalTime& t);
LocalTime FromDateTime(double date_time);

}  // namespace os
