// Test helpers: byte strings written as lists of byte values, and shown as hexadecimal.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "support/charset/pl_converter.h"

namespace charset::testing {

inline std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int v : values) bytes.push_back(static_cast<char>(v));
  return bytes;
}

inline std::string Hex(const std::string& bytes) {
  std::string text;
  char digits[4];
  for (unsigned char c : bytes) {
    std::snprintf(digits, sizeof digits, "%02X ", c);
    text += digits;
  }
  return text;
}

// One conversion of a byte string, as hexadecimal for readable failures.
inline std::string ConvertHex(const char* from, const char* to, const std::string& bytes,
                              unsigned options = 0) {
  return Hex(TPlConverter(from, to).Convert(bytes, options));
}

// One row of a conversion table.
struct ConversionCase {
  const char* name;
  const char* from;
  const char* to;
  std::string input;
  std::string expected;
};

inline void PrintTo(const ConversionCase& c, std::ostream* os) { *os << c.name; }

inline void ExpectConversion(const ConversionCase& c) {
  EXPECT_EQ(Hex(TPlConverter(c.from, c.to).Convert(c.input)), Hex(c.expected))
      << c.from << " -> " << c.to;
}

inline std::string CaseName(const ::testing::TestParamInfo<ConversionCase>& info) {
  return info.param.name;
}

}  // namespace charset::testing
