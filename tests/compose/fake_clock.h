// A clock whose tick count, present time and zone offset the test sets.
#pragma once

#include "platform/os/clock.h"

namespace compose_test {

class FakeClock final : public os::Clock {
 public:
  std::uint32_t tick = 1000;
  os::LocalTime now{2020, 2, 29, 23, 59, 58, 0, 6};
  int offset_minutes = 0;           // the offset in force now
  int offset_at_instant = 0;        // the offset at any other instant

  std::uint32_t TickCount() const override { return tick; }
  os::LocalTime Now() const override { return now; }
  int UtcOffsetMinutes(std::int64_t) const override { return offset_at_instant; }
  int CurrentUtcOffsetMinutes() const override { return offset_minutes; }
};

}  // namespace compose_test
