// Clock from the Windows API: GetTickCount, GetLocalTime and the zone's rules from
// GetTimeZoneInformation (SystemTimeToTzSpecificLocalTime for the offset at an instant).
#include <windows.h>

#include "platform/os/clock.h"

namespace os {
namespace {

// 100-nanosecond intervals between 1601-01-01 and 1970-01-01.
constexpr std::int64_t kEpochDifference = 116444736000000000;
constexpr std::int64_t kIntervalsPerSecond = 10000000;
constexpr std::int64_t kIntervalsPerMinute = 60 * kIntervalsPerSecond;

std::int64_t Intervals(const FILETIME& t) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime);
}

class PlatformClock final : public Clock {
 public:
  std::uint32_t TickCount() const override { return GetTickCount(); }

  LocalTime Now() const override {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return {t.wYear,   t.wMonth,  t.wDay,          t.wHour,
            t.wMinute, t.wSecond, t.wMilliseconds, t.wDayOfWeek};
  }

  int UtcOffsetMinutes(std::int64_t unix_seconds) const override {
    FILETIME utc_file{};
    const std::int64_t intervals = unix_seconds * kIntervalsPerSecond + kEpochDifference;
    if (intervals < 0) return 0;
    utc_file.dwLowDateTime = static_cast<DWORD>(intervals);
    utc_file.dwHighDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(intervals) >> 32);
    SYSTEMTIME utc{}, local{};
    FILETIME local_file{};
    if (!FileTimeToSystemTime(&utc_file, &utc) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) ||
        !SystemTimeToFileTime(&local, &local_file))
      return 0;
    return static_cast<int>((Intervals(local_file) - intervals) / kIntervalsPerMinute);
  }

  int CurrentUtcOffsetMinutes() const override {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return UtcOffsetMinutes((Intervals(now) - kEpochDifference) / kIntervalsPerSecond);
  }
};

}  // namespace

Clock& SystemClock() {
  static PlatformClock clock;
  return clock;
}

}  // namespace os
