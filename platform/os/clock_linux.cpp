// Clock from the C library: monotonic ticks, local time and offsets with the system's zone rules.
#include <chrono>
#include <ctime>

#include "platform/os/clock.h"

namespace os {
namespace {

class PlatformClock final : public Clock {
 public:
  std::uint32_t TickCount() const override {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<std::uint32_t>(ms.count());
  }

  LocalTime Now() const override {
    auto now = std::chrono::system_clock::now();
    std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
    std::tm tm{};
    localtime_r(&seconds, &tm);
    return {tm.tm_year + 1900,
            tm.tm_mon + 1,
            tm.tm_mday,
            tm.tm_hour,
            tm.tm_min,
            tm.tm_sec,
            static_cast<int>(ms.count()),
            tm.tm_wday};
  }

  int UtcOffsetMinutes(std::int64_t unix_seconds) const override {
    std::time_t t = static_cast<std::time_t>(unix_seconds);
    std::tm tm{};
    if (!localtime_r(&t, &tm)) return 0;
    return static_cast<int>(tm.tm_gmtoff / 60);
  }

  int CurrentUtcOffsetMinutes() const override { return UtcOffsetMinutes(std::time(nullptr)); }
};

}  // namespace

Clock& SystemClock() {
  static PlatformClock clock;
  return clock;
}

}  // namespace os
