// Fixed scientific form of a date-time value for the archive index.
#include "driver/message_time_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace driver {
namespace {

constexpr int kSignificantDigits = 15;

// The decimal digits of value (positive) correctly rounded to kSignificantDigits significant
// digits, ties away from zero, and the decimal exponent of the first digit.
struct Decimal {
  char digits[kSignificantDigits];
  int exponent;
};

// Writes value in scientific form with `precision` fraction digits; returns the text's end.
// to_chars rounds the exact binary value to nearest.
char* Scientific(char* first, char* last, double value, int precision) {
  return std::to_chars(first, last, value, std::chars_format::scientific, precision).ptr;
}

// True when the exact decimal expansion of value stops right after a 5 in the digit that follows
// the first kept_digits significant digits.
bool IsExactTie(double value, int kept_digits) {
  // A double's exact decimal expansion has at most 767 significant digits.
  char exact[800];
  char* end = Scientific(exact, exact + sizeof exact, value, 770);
  const char* dropped = exact + 1 + kept_digits;  // "d." then the kept fraction digits
  if (*dropped != '5') return false;
  for (const char* p = dropped + 1; p < end && *p != 'e'; ++p)
    if (*p != '0') return false;
  return true;
}

// Reads "d.ddd...e[+-]x" with `digits` significant digits.
Decimal Parse(const char* text, const char* end, int digits) {
  Decimal d{};
  d.digits[0] = text[0];
  std::memcpy(d.digits + 1, text + 2, std::min(digits, kSignificantDigits) - 1);
  const char* e = std::find(text, end, 'e');
  std::from_chars(e + (e[1] == '+' ? 2 : 1), end, d.exponent);
  return d;
}

// One unit added in the last kept place.
Decimal RoundedUp(Decimal d) {
  int i = kSignificantDigits - 1;
  while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
  if (i >= 0) {
    ++d.digits[i];
  } else {
    d.digits[0] = '1';
    ++d.exponent;
  }
  return d;
}

// Rounds through the value with one digit more, rounded to nearest. When that digit is not 5, the
// kept digits round the same way from it as from the exact value (a 4 may only come from below
// 4.5, a 6 only from 5.5 or more); a 5 is read again from the exact value.
Decimal Round(double value) {
  char text[40];
  char* end = Scientific(text, text + sizeof text, value, kSignificantDigits);
  const Decimal kept = Parse(text, end, kSignificantDigits + 1);
  const char dropped = text[kSignificantDigits + 1];
  if (dropped != '5') return dropped > '5' ? RoundedUp(kept) : kept;
  if (IsExactTie(value, kSignificantDigits)) return RoundedUp(kept);
  end = Scientific(text, text + sizeof text, value, kSignificantDigits - 1);
  return Parse(text, end, kSignificantDigits);
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
