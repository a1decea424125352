// English calendar names.
#include "platform/os/calendar_names.h"

namespace os {

std::string_view ShortDayName(int day_of_week) {
  static constexpr std::string_view kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  return day_of_week >= 0 && day_of_week < 7 ? kDays[day_of_week] : std::string_view();
}

std::string_view ShortMonthName(int month) {
  static constexpr std::string_view kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  return month >= 1 && month <= 12 ? kMonths[month - 1] : std::string_view();
}

}  // namespace os
