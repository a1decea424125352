// The base64 alphabet of RFC 2045, shared by MIME's base64 and UTF-7's modified base64: the
// character of each 6-bit value, and the value of each character.
#pragma once

#include <array>

namespace charset {

inline constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

namespace base64_detail {
constexpr std::array<signed char, 256> MakeValues() {
  std::array<signed char, 256> values{};
  for (auto& v : values) v = -1;
  for (int i = 0; i < 64; ++i) {
    values[static_cast<unsigned char>(kBase64Alphabet[i])] = static_cast<signed char>(i);
  }
  return values;
}
}  // namespace base64_detail

// The 6-bit value of each byte of the alphabet, -1 for every other byte.
inline constexpr std::array<signed char, 256> kBase64Values = base64_detail::MakeValues();

}  // namespace charset
