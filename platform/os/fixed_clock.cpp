// The fixed clock of PST2XMZ_FIXED_CLOCK, the same on every platform.
#include "platform/os/fixed_clock.h"

#include <cstdlib>
#include <optional>
#include <string>

namespace os {
namespace {

constexpr double kDaysFrom1899To1970 = 25569;
constexpr double kSecondsPerDay = 86400;

struct FixedTimes {
  std::int64_t seconds = 0;
  std::uint32_t ticks = 0;
  int offset_minutes = 0;
};

// Parses one decimal number (an optional '-' first) at text[at], then skips a following ','.
std::optional<std::int64_t> NextNumber(const std::string& text, std::size_t& at) {
  std::size_t used = 0;
  std::int64_t value = 0;
  try {
    value = std::stoll(text.substr(at), &used);
  } catch (const std::exception&) {
    return std::nullopt;
  }
  at += used;
  if (at < text.size() && text[at] != ',') return std::nullopt;
  if (at < text.size()) ++at;
  return value;
}

std::optional<FixedTimes> Parse(const char* setting) {
  if (!setting || !*setting) return std::nullopt;
  const std::string text(setting);
  std::size_t at = 0;
  FixedTimes times;
  const auto seconds = NextNumber(text, at);
  if (!seconds) return std::nullopt;
  times.seconds = *seconds;
  times.ticks = static_cast<std::uint32_t>(*seconds * 1000);
  if (at < text.size()) {
    const auto ticks = NextNumber(text, at);
    if (!ticks) return std::nullopt;
    times.ticks = static_cast<std::uint32_t>(*ticks);
  }
  if (at < text.size()) {
    const auto offset = NextNumber(text, at);
    if (!offset || *offset < -24 * 60 || *offset > 24 * 60) return std::nullopt;
    times.offset_minutes = static_cast<int>(*offset);
  }
  if (at < text.size()) return std::nullopt;
  return times;
}

class FixedClock final : public Clock {
 public:
  explicit FixedClock(const FixedTimes& times) : times_(times) {}

  std::uint32_t TickCount() const override { return times_.ticks; }
  LocalTime Now() const override {
    const double local_seconds = static_cast<double>(times_.seconds) + times_.offset_minutes * 60.0;
    return FromDateTime(local_seconds / kSecondsPerDay + kDaysFrom1899To1970);
  }
  int UtcOffsetMinutes(std::int64_t) const override { return times_.offset_minutes; }
  int CurrentUtcOffsetMinutes() const override { return times_.offset_minutes; }

 private:
  FixedTimes times_;
};

}  // namespace

std::unique_ptr<Clock> FixedClockFrom(const char* setting) {
  const std::optional<FixedTimes> times = Parse(setting);
  return times ? std::make_unique<FixedClock>(*times) : nullptr;
}

Clock& FixedClockOr(Clock& system) {
  static const std::unique_ptr<Clock> fixed = FixedClockFrom(std::getenv("PST2XMZ_FIXED_CLOCK"));
  return fixed ? *fixed : system;
}

}  // namespace os
