// RFC 822 dates in header values: parse, format and zone offsets. Date-time values are days since
// 30 December 1899 (fraction = time of day) in the zone written in the text; zones are signed
// hours * 100 + minutes numbers (-0530 is -530).
#pragma once

#include <string>
#include <string_view>

namespace mime {

// Reads "Ddd, dd Mmm yy[yy] hh:mm:ss zone" by single-space fields (field 0, the weekday, is not
// looked at). False, with date_time untouched, when the fields do not form a valid date and time.
bool ParseRfc822Date(std::string_view value, double& date_time, int& zone);

// How a zone of no offset is written: "+0000" (the time is in UTC), or "-0000" (RFC 5322: the
// text says nothing of the zone it was written in).
enum class ZeroZone { kPlus, kMinus };

// "Ddd, dd Mmm yyyy hh:nn:ss +zzzz" with English names, zone a zone number. Raises
// std::out_of_range for a date-time outside the years 1 to 9999, which the text cannot hold.
std::string FormatRfc822Date(double date_time, int zone, ZeroZone zero_zone);

// The zone number of an offset in minutes east of UTC: -330 gives -530.
int ZoneNumber(int utc_offset_minutes);

// Minutes east of UTC of a zone number: -530 gives -330.
int ZoneMinutes(int zone);

// A zone name of the table (EDT ... PST) or a signed decimal number; 0 otherwise (GMT, UT).
int ZoneOffset(std::string_view zone);

// The machine's current offset from UTC as a zone number.
int LocalZoneNumber();

}  // namespace mime
