// Little-endian loads from byte views. Callers (the structure decoders) check the view's size once
// before loading; these helpers do no bounds checking of their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace pst::util {

inline std::uint16_t LoadLe16(std::span<const std::byte> b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint16_t>(b[at]) |
                                    static_cast<std::uint16_t>(b[at + 1]) << 8);
}

inline std::uint32_t LoadLe32(std::span<const std::byte> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

inline std::uint64_t LoadLe64(std::span<const std::byte> b, std::size_t at) {
  return static_cast<std::uint64_t>(LoadLe32(b, at)) |
         static_cast<std::uint64_t>(LoadLe32(b, at + 4)) << 32;
}

// A block id or node id field of 4 (ANSI) or 8 bytes.
inline std::uint64_t LoadLeId(std::span<const std::byte> b, std::size_t at, std::size_t width) {
  return width == 4 ? LoadLe32(b, at) : LoadLe64(b, at);
}

}  // namespace pst::util
