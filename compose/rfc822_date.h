// The date of synthesised headers: "Ddd, dd Mmm yyyy hh:nn:ss" and a zone offset ("+0100",
// "-0000" at UTC), with English day and month names.
#pragma once

#include <string>

namespace compose {

// date_time is a local time as days since 30 December 1899, utc_offset_minutes the offset that was
// added to UTC to get it, so that time and zone together name one instant. Raises
// std::out_of_range for a value outside the calendar (before year 1 or after year 9999).
std::string FormatRfc822Date(double date_time, int utc_offset_minutes);

}  // namespace compose
