// The archive index's form of a message time: exactly 23 characters, sign position (blank or "-"),
// one digit, ".", fourteen digits, "E", the exponent's sign and four exponent digits; 15
// significant digits rounded half away from zero. 40533.5 gives " 4.05335000000000E+0004".
#pragma once

#include <string>

namespace driver {

inline constexpr std::size_t kMessageTimeWidth = 23;

// A value that is not finite (no delivery time can give one) is written as zero.
std::string FormatMessageTime(double value);

}  // namespace driver
