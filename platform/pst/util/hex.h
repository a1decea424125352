// Hexadecimal rendering of ids and offsets for error messages ("node 0x122", "offset 0x4400").
#pragma once

#include <cstdint>
#include <string>

namespace pst::util {

inline std::string Hex(std::uint64_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  char buf[18];
  int pos = sizeof(buf);
  do {
    buf[--pos] = kDigits[value & 0xF];
    value >>= 4;
  } while (value != 0);
  buf[--pos] = 'x';
  buf[--pos] = '0';
  return std::string(buf + pos, sizeof(buf) - pos);
}

}  // namespace pst::util
