// The date of synthesised headers: "Ddd, dd Mmm yyyy hh:nn:ss" and the machine's present zone
// offset ("+0100", "-0000" at UTC), with English day and month names.
#pragma once

#include <string>

namespace compose {

// date_time is local time as days since 30 December 1899. Raises std::out_of_range for a value
// outside the calendar (before year 1 or after year 9999).
std::string FormatRfc822Date(double date_time);

}  // namespace compose
