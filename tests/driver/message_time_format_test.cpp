// The index's 23-character message time: digits, rounding half away from zero, sign and exponent.
#include "driver/message_time_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

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

// The fifteen digits rounded half away from zero from the value's exact decimal expansion, as
// "d.dddddddddddddd" and the exponent.
std::string ReferenceDigits(double value) {
  char exact[800];
  char* end = std::to_chars(exact, exact + sizeof exact, std::fabs(value),
                            std::chars_format::scientific, 770)
                  .ptr;
  std::string digits = std::string(1, exact[0]) + std::string(exact + 2, exact + 16);
  int exponent = std::atoi(std::find(exact, end, 'e') + 1);
  if (exact[16] >= '5') {  // half or more of the last kept place: away from zero
    int i = 14;
    while (i >= 0 && digits[i] == '9') digits[i--] = '0';
    if (i >= 0) {
      ++digits[i];
    } else {
      digits[0] = '1';
      ++exponent;
    }
  }
  return digits.substr(0, 1) + "." + digits.substr(1) + (exponent < 0 ? "-" : "+") +
         std::to_string(std::abs(exponent));
}

TEST(MessageTimeFormat, AgreesWithTheExactExpansionForRandomValues) {
  std::mt19937_64 random(12);
  for (int i = 0; i < 20000; ++i) {
    // Dates with a time of day, and values of any size and sign.
    const double value = i % 2 ? 30000.0 + std::uniform_real_distribution<double>(0, 20000)(random)
                               : std::ldexp(std::uniform_real_distribution<double>(-1, 1)(random),
                                            static_cast<int>(random() % 200) - 100);
    if (value == 0) continue;
    const std::string text = FormatMessageTime(value);
    const std::string exponent = std::to_string(std::stoi(text.substr(18)));
    EXPECT_EQ(text.substr(1, 16) + text.substr(18, 1) + exponent.substr(exponent[0] == '-'),
              ReferenceDigits(value))
        << std::hexfloat << value;
  }
}

TEST(MessageTimeFormat, ValuesThatAreNotNumbersAreWrittenAsZero) {
  EXPECT_EQ(FormatMessageTime(std::numeric_limits<double>::quiet_NaN()), " 0.00000000000000E+0000");
  EXPECT_EQ(FormatMessageTime(std::numeric_limits<double>::infinity()), " 0.00000000000000E+0000");
}

}  // namespace
}  // namespace driver
