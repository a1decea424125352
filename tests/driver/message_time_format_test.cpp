// The index's 23-character message time: digits, rounding half away from zero, sign and exponent.
#include "driver/message_time_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace driver {
namespace {

struct TimeCase {
  double value;
  const char* text;
};

class MessageTimeFormatTest : public testing::TestWithParam<TimeCase> {};

TEST_P(MessageTimeFormatTest, WritesFixedScientificForm) {
  std::string text = FormatMessageTime(GetParam().value);
  EXPECT_EQ(text, GetParam().text);
  EXPECT_EQ(text.size(), kMessageTimeWidth);
}

INSTANTIATE_TEST_SUITE_P(
    Values, MessageTimeFormatTest,
    testing::Values(
        TimeCase{40533.5, " 4.05335000000000E+0004"}, TimeCase{0.0, " 0.00000000000000E+0000"},
        TimeCase{-0.0, " 0.00000000000000E+0000"}, TimeCase{1.0, " 1.00000000000000E+0000"},
        TimeCase{-1.25, "-1.25000000000000E+0000"}, TimeCase{0.1, " 1.00000000000000E-0001"},
        TimeCase{1e-5, " 1.00000000000000E-0005"}, TimeCase{1e300, " 1.00000000000000E+0300"},
        TimeCase{2.5e-300, " 2.50000000000000E-0300"},
        // A date with a time of day: 15 significant digits of a value that has more.
        TimeCase{45123.123456789012345, " 4.51231234567890E+0004"},
        TimeCase{1.0 / 3.0, " 3.33333333333333E-0001"},
        TimeCase{2.0 / 3.0, " 6.66666666666667E-0001"}));

// Exact ties in the sixteenth digit round away from zero, where printf would round to even.
INSTANTIATE_TEST_SUITE_P(Ties, MessageTimeFormatTest,
                         testing::Values(TimeCase{1234567890123445.0, " 1.23456789012345E+0015"},
                                         TimeCase{-1234567890123445.0, "-1.23456789012345E+0015"},
                                         TimeCase{1234567890123455.0, " 1.23456789012346E+0015"},
                                         TimeCase{999999999999999.5, " 1.00000000000000E+0015"},
                                         TimeCase{0.000244140625, " 2.44140625000000E-0004"}));

// Values just beside a tie are not ties: they round to nearest.
INSTANTIATE_TEST_SUITE_P(
    NearTies, MessageTimeFormatTest,
    testing::Values(TimeCase{std::nextafter(1234567890123445.0, 0.0), " 1.23456789012344E+0015"},
                    TimeCase{std::nextafter(1234567890123445.0, 2e15), " 1.23456789012345E+0015"}));

TEST(MessageTimeFormat, ValuesThatAreNotNumbersAreWrittenAsZero) {
  EXPECT_EQ(FormatMessageTime(std::numeric_limits<double>::quiet_NaN()), " 0.00000000000000E+0000");
  EXPECT_EQ(FormatMessageTime(std::numeric_limits<double>::infinity()), " 0.00000000000000E+0000");
}

}  // namespace
}  // namespace driver
