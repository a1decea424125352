// RFC 822 dates: the field-by-field parse, zone names and numbers, and formatting.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "mime/rfc822_date.h"
#include "platform/os/clock.h"

namespace mime {
namespace {

double DateTime(int year, int month, int day, int hour, int minute, int second) {
  os::LocalTime t;
  t.year = year;
  t.month = month;
  t.day = day;
  t.hour = hour;
  t.minute = minute;
  t.second = second;
  return os::ToDateTime(t);
}

TEST(Rfc822Date, ParsesFieldsWithTwoDigitYearAndZoneName) {
  double date = 0;
  int zone = 0;
  ASSERT_TRUE(ParseRfc822Date("Fri, 13 Nov 98 09:05:07 EST", date, zone));
  EXPECT_DOUBLE_EQ(date, DateTime(1998, 11, 13, 9, 5, 7));
  EXPECT_EQ(zone, -500);
}

TEST(Rfc822Date, ParsesNumericZonesAndMonthsInAnyCase) {
  const struct {
    const char* text;
    int month;
    int zone;
  } cases[] = {
      {"Mon, 1 JAN 2024 00:00:00 +0100", 1, 100},
      {"Mon, 1 dec 2024 00:00:00 -0530", 12, -530},
      {"Mon, 1 Jun 2024 00:00:00 GMT", 6, 0},
      {"Mon, 1 Jun 2024 00:00:00 PDT", 6, -700},
  };
  for (const auto& c : cases) {
    double date = 0;
    int zone = 1;
    ASSERT_TRUE(ParseRfc822Date(c.text, date, zone)) << c.text;
    EXPECT_DOUBLE_EQ(date, DateTime(2024, c.month, 1, 0, 0, 0)) << c.text;
    EXPECT_EQ(zone, c.zone) << c.text;
  }
}

TEST(Rfc822Date, InvalidDatesFailAndLeaveTheValueUntouched) {
  const char* cases[] = {
      "13 Nov 1998 09:05:07 EST",         // no weekday: the fields shift
      "Fri, 31 Feb 2024 10:00:00 +0000",  // no such day
      "Fri, 13 Foo 2024 10:00:00 +0000",
      "Fri, 13 Nov 2024 25:00:00 +0000",
      "Fri,  13 Nov 2024 10:00:00 +0000",  // two spaces make an empty field
      "",
      "garbage",
      "Fri, 99999999999999999999 Nov 2024 10:00:00",
  };
  for (const char* text : cases) {
    double date = 42;
    int zone = 0;
    EXPECT_FALSE(ParseRfc822Date(text, date, zone)) << text;
    EXPECT_EQ(date, 42) << text;
  }
}

TEST(Rfc822Date, ZoneOffsets) {
  EXPECT_EQ(ZoneOffset("cst"), -600);
  EXPECT_EQ(ZoneOffset("MDT"), -600);
  EXPECT_EQ(ZoneOffset("+0200"), 200);
  EXPECT_EQ(ZoneOffset("-0800"), -800);
  EXPECT_EQ(ZoneOffset("UT"), 0);
  EXPECT_EQ(ZoneOffset(""), 0);
}

TEST(Rfc822Date, FormatsWithEnglishNamesFourDigitYearsAndTheZoneGiven) {
  const struct {
    double date;
    int zone;
    ZeroZone zero_zone;
    const char* text;
  } cases[] = {
      {DateTime(2024, 3, 5, 7, 8, 9), -530, ZeroZone::kPlus, "Tue, 05 Mar 2024 07:08:09 -0530"},
      {DateTime(2024, 3, 5, 7, 8, 9), 100, ZeroZone::kMinus, "Tue, 05 Mar 2024 07:08:09 +0100"},
      {DateTime(2011, 7, 1, 14, 5, 9), 1245, ZeroZone::kPlus, "Fri, 01 Jul 2011 14:05:09 +1245"},
      {DateTime(2024, 3, 5, 7, 8, 9), 0, ZeroZone::kPlus, "Tue, 05 Mar 2024 07:08:09 +0000"},
      {DateTime(1999, 12, 31, 23, 0, 0), 0, ZeroZone::kMinus, "Fri, 31 Dec 1999 23:00:00 -0000"},
      {DateTime(999, 1, 2, 3, 4, 5), 0, ZeroZone::kPlus, "Wed, 02 Jan 0999 03:04:05 +0000"},
      {DateTime(9999, 12, 31, 23, 59, 59), -800, ZeroZone::kPlus,
       "Fri, 31 Dec 9999 23:59:59 -0800"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatRfc822Date(c.date, c.zone, c.zero_zone), c.text);
  // What is written reads back as the same date and zone.
  double date = 0;
  int zone = 0;
  ASSERT_TRUE(ParseRfc822Date(cases[5].text, date, zone));
  EXPECT_DOUBLE_EQ(date, cases[5].date);
}

TEST(Rfc822Date, ValueOutsideTheFourDigitYearsRaises) {
  for (double date : {3e6, -7e5, DateTime(10000, 1, 1, 0, 0, 0), std::nan("")}) {
    EXPECT_THROW(FormatRfc822Date(date, 0, ZeroZone::kPlus), std::out_of_range) << date;
  }
}

TEST(Rfc822Date, ZoneNumbersAndMinuteOffsetsConvertBothWays) {
  const struct {
    int minutes;
    int zone;
  } cases[] = {{0, 0}, {60, 100}, {-330, -530}, {765, 1245}, {-59, -59}, {-720, -1200}};
  for (const auto& c : cases) {
    EXPECT_EQ(ZoneNumber(c.minutes), c.zone) << c.minutes;
    EXPECT_EQ(ZoneMinutes(c.zone), c.minutes) << c.zone;
  }
}

}  // namespace
}  // namespace mime
