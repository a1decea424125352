// Fixed scientific form of a date-time value for the archive index.
#include "driver/message_time_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace driver {
namespace {

constexpr int kSignificantDigits = 15;

// The decimal digits of value (positive) correctly rounded to `digits` significant digits, ties
// away from zero, and the decimal exponent of the first digit.
struct Decimal {
  char digits[kSignificantDigits];
  int exponent;
};

// printf rounds the exact binary value to nearest with ties to even; a tie is only possible when
// the exact expansion stops right after a 5 in the first dropped position.
bool IsTieAfter(double value, int kept_digits) {
  char probe[40];
  std::snprintf(probe, sizeof probe, "%.*e", kept_digits, value);  // kept_digits + 1 significant
  if (probe[kept_digits + 1] != '5') return false;
  // A double's exact decimal expansion has at most 767 significant digits.
  static thread_local char exact[800];
  std::snprintf(exact, sizeof exact, "%.770e", value);
  const char* dropped = exact + 1 + kept_digits;  // "d." then the kept fraction digits
  if (*dropped != '5') return false;
  for (const char* p = dropped + 1; *p != 'e'; ++p)
    if (*p != '0') return false;
  return true;
}

Decimal Round(double value) {
  Decimal d;
  char text[40];
  if (IsTieAfter(value, kSignificantDigits)) {
    // Truncate to the kept digits, then add one unit in the last place.
    std::snprintf(text, sizeof text, "%.*e", kSignificantDigits, value);
    char mantissa[kSignificantDigits];
    mantissa[0] = text[0];
    std::memcpy(mantissa + 1, text + 2, kSignificantDigits - 1);
    d.exponent = std::atoi(std::strchr(text, 'e') + 1);
    int i = kSignificantDigits - 1;
    while (i >= 0 && mantissa[i] == '9') mantissa[i--] = '0';
    if (i >= 0) {
      ++mantissa[i];
    } else {
      mantissa[0] = '1';
      ++d.exponent;
    }
    std::memcpy(d.digits, mantissa, kSignificantDigits);
    return d;
  }
  std::snprintf(text, sizeof text, "%.*e", kSignificantDigits - 1, value);
  d.digits[0] = text[0];
  std::memcpy(d.digits + 1, text + 2, kSignificantDigits - 1);
  d.exponent = std::atoi(std::strchr(text, 'e') + 1);
  return d;
}

}  // namespace

std::string FormatMessageTime(double value) {
  if (!std::isfinite(value)) value = 0.0;
  std::string out(kMessageTimeWidth, '0');
  out[0] = value < 0 ? '-' : ' ';
  Decimal d{};
  if (value != 0) {
    d = Round(std::fabs(value));
  } else {
    std::memset(d.digits, '0', sizeof d.digits);
    d.exponent = 0;
  }
  out[1] = d.digits[0];
  out[2] = '.';
  std::memcpy(&out[3], d.digits + 1, kSignificantDigits - 1);
  out[17] = 'E';
  out[18] = d.exponent < 0 ? '-' : '+';
  int exponent = std::abs(d.exponent);
  for (int i = 22; i >= 19; --i, exponent /= 10) out[i] = static_cast<char>('0' + exponent % 10);
  return out;
}

}  // namespace driver
