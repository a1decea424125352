// The clock in use: a test's replacement, the fixed clock the environment asks for, or the
// platform's own.
#include "platform/os/clock.h"
#include "platform/os/fixed_clock.h"

namespace os {
namespace {

// Built on first use, after the environment is readable.
ServiceSlot<Clock>& Slot() {
  static ServiceSlot<Clock> slot(FixedClockOr(SystemClock()));
  return slot;
}

}  // namespace

Clock& CurrentClock() { return Slot().get(); }
Clock* InstallClock(Clock* replacement) { return Slot().install(replacement); }

}  // namespace os
