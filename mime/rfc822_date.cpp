// RFC 822 date parse and format with the North American zone names.
#include "mime/rfc822_date.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "mime/text_lines.h"
#include "platform/os/calendar_names.h"
#include "platform/os/clock.h"

namespace mime {
namespace {

// Date-time values of 1 January 0001 00:00 and 1 January 10000 00:00.
constexpr double kFirstDate = -693593.0;
constexpr double kPastLastDate = 2958466.0;

constexpr std::string_view kMonths = "janfebmaraprmayjunjulaugsepoctnovdec";

struct ZoneName {
  std::string_view name;
  int zone;
};
constexpr ZoneName kZones[] = {{"EDT", -400}, {"EST", -500}, {"CDT", -500}, {"CST", -600},
                               {"MDT", -600}, {"MST", -700}, {"PDT", -700}, {"PST", -800}};

std::vector<std::string_view> SplitAtSpaces(std::string_view v) {
  std::vector<std::string_view> fields;
  size_t pos = 0;
  for (;;) {
    size_t space = v.find(' ', pos);
    if (space == std::string_view::npos) break;
    fields.push_back(v.substr(pos, space - pos));
    pos = space + 1;
  }
  fields.push_back(v.substr(pos));
  return fields;
}

long long NumberOr0(std::string_view s) {
  long long v = 0;
  return ParseDecimal(s, v) ? v : 0;
}

// Characters from (1-based) of length count, cut at the end of s.
std::string_view Piece(std::string_view s, size_t from, size_t count) {
  return from - 1 < s.size() ? s.substr(from - 1, count) : std::string_view();
}

int MonthNumber(std::string_view field) {
  if (field.empty()) return 0;
  size_t pos = kMonths.find(ToLowerAscii(field.substr(0, 3)));
  return pos == std::string_view::npos ? 0 : static_cast<int>((pos + 1 + 2) / 3);
}

bool IsLeap(long long y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

bool ValidDate(long long y, long long m, long long d) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
  return d <= kDays[m - 1] + (m == 2 && IsLeap(y) ? 1 : 0);
}

}  // namespace

int ZoneOffset(std::string_view zone) {
  std::string upper = ToUpperAscii(zone);
  for (const ZoneName& z : kZones)
    if (upper == z.name) return z.zone;
  long long v = 0;
  if (!ParseDecimal(zone, v) || v < -999999 || v > 999999) return 0;
  return static_cast<int>(v);
}

bool ParseRfc822Date(std::string_view value, double& date_time, int& zone) {
  std::vector<std::string_view> f = SplitAtSpaces(value);
  auto field = [&](size_t i) { return i < f.size() ? f[i] : std::string_view(); };
  long long day = NumberOr0(field(1));
  long long month = MonthNumber(field(2));
  long long year = NumberOr0(field(3));
  if (year < 100) year += 1900;
  std::string_view time = field(4);
  long long hour = NumberOr0(Piece(time, 1, 2));
  long long minute = NumberOr0(Piece(time, 4, 2));
  long long second = NumberOr0(Piece(time, 7, 2));
  zone = ZoneOffset(field(5));
  if (!ValidDate(year, month, day)) return false;
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return false;
  os::LocalTime t;
  t.year = static_cast<int>(year);
  t.month = static_cast<int>(month);
  t.day = static_cast<int>(day);
  t.hour = static_cast<int>(hour);
  t.minute = static_cast<int>(minute);
  t.second = static_cast<int>(second);
  t.millisecond = 0;
  date_time = os::ToDateTime(t);
  return true;
}

std::string FormatRfc822Date(double date_time, int zone, ZeroZone zero_zone) {
  if (!(date_time >= kFirstDate && date_time < kPastLastDate)) {
    throw std::out_of_range("date-time value outside the calendar");
  }
  const bool minus = zone < 0 || (zone == 0 && zero_zone == ZeroZone::kMinus);
  const std::string digits = "0000" + std::to_string(std::llabs(static_cast<long long>(zone)));
  const std::string zone_text = (minus ? "-" : "+") + digits.substr(digits.size() - 4);
  const os::LocalTime t = os::FromDateTime(date_time);
  const std::string day_name(os::ShortDayName(t.day_of_week));
  const std::string month_name(os::ShortMonthName(t.month));
  char text[64];
  std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d ", day_name.c_str(), t.day,
                month_name.c_str(), t.year, t.hour, t.minute, t.second);
  return text + zone_text;
}

int ZoneNumber(int utc_offset_minutes) {
  const int magnitude = utc_offset_minutes < 0 ? -utc_offset_minutes : utc_offset_minutes;
  const int number = magnitude / 60 * 100 + magnitude % 60;
  return utc_offset_minutes < 0 ? -number : number;
}

int ZoneMinutes(int zone) {
  const int magnitude = zone < 0 ? -zone : zone;
  const int minutes = magnitude / 100 * 60 + magnitude % 100;
  return zone < 0 ? -minutes : minutes;
}

int LocalZoneNumber() { return ZoneNumber(os::CurrentClock().CurrentUtcOffsetMinutes()); }

}  // namespace mime
