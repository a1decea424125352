// A clock that stands still, so that two runs (on Linux and on Windows alike) write the same bytes:
// multipart boundaries come from the tick count, the date of undated messages from the current
// time, and dates carry the zone's offset. Only tests set it, through the environment:
//   PST2XMZ_FIXED_CLOCK=SECONDS[,TICKS[,OFFSET]]
// SECONDS since 1970-01-01 UTC is "now", TICKS the tick count (default: SECONDS * 1000, wrapped at
// 32 bits), OFFSET the zone's minutes east of UTC at every instant (default 0). A value that does
// not parse leaves the system clock in place.
#pragma once

#include <memory>

#include "platform/os/clock.h"

namespace os {

// The clock a PST2XMZ_FIXED_CLOCK value describes; nullptr when the value is absent or does not
// parse (text after the last number, or an offset beyond a day, does not parse).
std::unique_ptr<Clock> FixedClockFrom(const char* setting);

// The fixed clock the environment asks for, else system.
Clock& FixedClockOr(Clock& system);

}  // namespace os
