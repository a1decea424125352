// Date-time values and broken-down times, and ticks.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/os/clock.h"

namespace {

TEST(DateTime, KnownDays) {
  EXPECT_EQ(os::ToDateTime({1899, 12, 30, 0, 0, 0, 0, 6}), 0.0);
  EXPECT_EQ(os::ToDateTime({1900, 1, 1, 0, 0, 0, 0, 1}), 2.0);
  EXPECT_EQ(os::ToDateTime({2000, 1, 1, 18, 0, 0, 0, 6}), 36526.75);
  EXPECT_EQ(os::ToDateTime({1899, 12, 29, 0, 0, 0, 0, 5}), -1.0);
}

TEST(DateTime, BrokenDownFromValue) {
  const os::LocalTime t = os::FromDateTime(36526.75);
  EXPECT_EQ(t.year, 2000);
  EXPECT_EQ(t.month, 1);
  EXPECT_EQ(t.day, 1);
  EXPECT_EQ(t.hour, 18);
  EXPECT_EQ(t.minute, 0);
  EXPECT_EQ(t.day_of_week, 6);  // a Saturday
  const os::LocalTime before = os::FromDateTime(-0.25);
  EXPECT_EQ(before.day, 29);
  EXPECT_EQ(before.hour, 18);
}

TEST(DateTime, RoundTripsToTheMillisecondAcrossLeapDays) {
  const os::LocalTime cases[] = {{2024, 2, 29, 23, 59, 59, 999, 4},
                                 {1600, 3, 1, 0, 0, 0, 1, 3},
                                 {2100, 12, 31, 12, 34, 56, 789, 5}};
  for (const os::LocalTime& t : cases) {
    const os::LocalTime back = os::FromDateTime(os::ToDateTime(t));
    EXPECT_EQ(back.year, t.year);
    EXPECT_EQ(back.month, t.month);
    EXPECT_EQ(back.day, t.day);
    EXPECT_EQ(back.hour, t.hour);
    EXPECT_EQ(back.minute, t.minute);
    EXPECT_EQ(back.second, t.second);
    EXPECT_EQ(back.millisecond, t.millisecond);
    EXPECT_EQ(back.day_of_week, t.day_of_week);
  }
}

TEST(DateTime, ValuesNoCalendarHoldsGiveTheEpoch) {
  for (const double bad : {std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(), -1e300, 1e300}) {
    const os::LocalTime t = os::FromDateTime(bad);
    EXPECT_EQ(t.year, 1899);
    EXPECT_EQ(t.month, 12);
    EXPECT_EQ(t.day, 30);
  }
}

TEST(ClockTicks, NeverGoBackwards) {
  const os::Clock& clock = os::CurrentClock();
  std::uint32_t previous = clock.TickCount();
  for (int i = 0; i < 1000; ++i) {
    const std::uint32_t now = clock.TickCount();
    EXPECT_LE(static_cast<std::uint32_t>(now - previous), 1000u);  // modulo 2^32
    previous = now;
  }
}

}  // namespace
