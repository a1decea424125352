// The fixed clock that makes runs comparable: what a PST2XMZ_FIXED_CLOCK value says, and which
// values are refused (the system clock then stays).
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/os/fixed_clock.h"

namespace {

struct Expected {
  const char* setting;
  std::uint32_t ticks;
  int year, month, day, hour, minute, second, day_of_week;
  int offset_minutes;
};

TEST(FixedClock, NowTicksAndOffsetAreWhatTheValueSays) {
  const Expected cases[] = {
      // Seconds alone: ticks are the milliseconds, wrapped at 32 bits; no offset.
      {"1700000000", static_cast<std::uint32_t>(1700000000000ull), 2023, 11, 14, 22, 13, 20, 2, 0},
      // Ticks and an offset east of UTC, which moves local time.
      {"1700000000,123456,60", 123456, 2023, 11, 14, 23, 13, 20, 2, 60},
      // Before 1970 and west of UTC, across midnight.
      {"-86400,5,-90", 5, 1969, 12, 30, 22, 30, 0, 2, -90},
      {"0,0,1440", 0, 1970, 1, 2, 0, 0, 0, 5, 1440},
  };
  for (const Expected& e : cases) {
    const auto clock = os::FixedClockFrom(e.setting);
    ASSERT_NE(clock, nullptr) << e.setting;
    EXPECT_EQ(clock->TickCount(), e.ticks) << e.setting;
    const os::LocalTime now = clock->Now();
    EXPECT_EQ(now.year, e.year) << e.setting;
    EXPECT_EQ(now.month, e.month) << e.setting;
    EXPECT_EQ(now.day, e.day) << e.setting;
    EXPECT_EQ(now.hour, e.hour) << e.setting;
    EXPECT_EQ(now.minute, e.minute) << e.setting;
    EXPECT_EQ(now.second, e.second) << e.setting;
    EXPECT_EQ(now.day_of_week, e.day_of_week) << e.setting;
    EXPECT_EQ(clock->CurrentUtcOffsetMinutes(), e.offset_minutes) << e.setting;
    EXPECT_EQ(clock->UtcOffsetMinutes(0), e.offset_minutes) << e.setting;
    EXPECT_EQ(clock->UtcOffsetMinutes(1721044800), e.offset_minutes) << e.setting;
  }
}

TEST(FixedClock, ValuesThatDoNotParseLeaveNoClock) {
  for (const char* setting :
       {"", "now", "1700000000x", "1700000000,12,60,7", "1,2,1441", "1,2,-1441", "1,,3", "1,2,x"}) {
    EXPECT_EQ(os::FixedClockFrom(setting), nullptr) << setting;
  }
  EXPECT_EQ(os::FixedClockFrom(nullptr), nullptr);
}

}  // namespace
