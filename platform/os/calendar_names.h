// Short day and month names for dates in mail headers: always English, whatever the locale.
#pragma once

#include <string_view>

namespace os {

// 0 = Sunday ... 6 = Saturday; "" outside that range.
std::string_view ShortDayName(int day_of_week);
// 1 = January ... 12 = December; "" outside that range.
std::string_view ShortMonthName(int month);

}  // namespace os
