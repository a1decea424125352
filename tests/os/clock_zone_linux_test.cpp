// The zone offset and local time under the C library's rules (TZ).
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/os/clock.h"

namespace {

class ZoneRules {
 public:
  explicit ZoneRules(const char* tz) {
    if (const char* old = std::getenv("TZ")) saved_ = old, had_ = true;
    ::setenv("TZ", tz, 1);
    ::tzset();
  }
  ~ZoneRules() {
    if (had_)
      ::setenv("TZ", saved_.c_str(), 1);
    else
      ::unsetenv("TZ");
    ::tzset();
  }

 private:
  std::string saved_;
  bool had_ = false;
};

TEST(ClockZone, OffsetFollowsDaylightSavingRules) {
  ZoneRules zone("EST5EDT,M3.2.0,M11.1.0");
  const os::Clock& clock = os::CurrentClock();
  EXPECT_EQ(clock.UtcOffsetMinutes(1705320000), -300);  // 2024-01-15 12:00 UTC
  EXPECT_EQ(clock.UtcOffsetMinutes(1721044800), -240);  // 2024-07-15 12:00 UTC
}

TEST(ClockZone, UtcHasNoOffsetAndNowIsPlausible) {
  ZoneRules zone("UTC0");
  const os::Clock& clock = os::CurrentClock();
  EXPECT_EQ(clock.CurrentUtcOffsetMinutes(), 0);
  const os::LocalTime now = clock.Now();
  std::time_t seconds = std::time(nullptr);
  std::tm expected{};
  gmtime_r(&seconds, &expected);
  EXPECT_EQ(now.year, expected.tm_year + 1900);
  EXPECT_GE(now.millisecond, 0);
  EXPECT_LT(now.millisecond, 1000);
}

}  // namespace
