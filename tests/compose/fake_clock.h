// A clock whose tick count, present time and zone offset the test sets.
#pragma once

#include "platform/os/clock.h"

namespace compose_test {

class FakeClock final : public os::Clock {
 public:
  std::uint32_t tick = 1000;
  os::LocalTime now{2020, 2, 29, 23, 59, 58, 0, 6};
  int offset_minutes = 0;     // the offset in force now
  int offset_at_instant = 0;  // the offset at any other instant

  std::uint32_t TickCount() const override { return tick; }
  os::LocalTime Now() const override { return now; }
  int UtcOffsetMinutes(std::int64_t) const override { return offset_at_instant; }
  int CurrentUtcOffsetMinutes() const override { return offset_minutes; }
};

// A zone with one daylight-saving period: standard_minutes east of UTC, an hour more from
// dst_start up to dst_end (UTC seconds since 1970). The present is fixed in standard time.
class ZoneClock final : public os::Clock {
 public:
  ZoneClock(int standard_minutes, std::int64_t dst_start, std::int64_t dst_end)
      : standard_(standard_minutes), dst_start_(dst_start), dst_end_(dst_end) {}

  std::uint32_t TickCount() const override { return 1000; }
  os::LocalTime Now() const override { return {2021, 12, 24, 12, 0, 0, 0, 5}; }
  int UtcOffsetMinutes(std::int64_t unix_seconds) const override {
    return standard_ + (unix_seconds >= dst_start_ && unix_seconds < dst_end_ ? 60 : 0);
  }
  int CurrentUtcOffsetMinutes() const override { return standard_; }

 private:
  int standard_;
  std::int64_t dst_start_, dst_end_;
};

// The 2021 rules of three zones.
inline ZoneClock Utc2021() { return ZoneClock(0, 0, 0); }
inline ZoneClock Berlin2021() { return ZoneClock(60, 1616893200, 1635642000); }
inline ZoneClock NewYork2021() { return ZoneClock(-300, 1615705200, 1636264800); }

}  // namespace compose_test
