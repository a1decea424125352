// Little-endian loads from byte views, for the decoders of this layer. Callers check the bounds
// (each decoder validates sizes before it loads); these only assemble the integers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace pst::ltp {

using Bytes = std::span<const std::byte>;

inline std::uint8_t LoadU8(Bytes b, std::size_t at) { return static_cast<std::uint8_t>(b[at]); }

inline std::uint16_t LoadU16(Bytes b, std::size_t at) {
  return static_cast<std::uint16_t>(LoadU8(b, at) | (LoadU8(b, at + 1) << 8));
}

inline std::uint32_t LoadU32(Bytes b, std::size_t at) {
  return static_cast<std::uint32_t>(LoadU16(b, at)) |
         (static_cast<std::uint32_t>(LoadU16(b, at + 2)) << 16);
}

inline std::uint64_t LoadU64(Bytes b, std::size_t at) {
  return static_cast<std::uint64_t>(LoadU32(b, at)) |
         (static_cast<std::uint64_t>(LoadU32(b, at + 4)) << 32);
}

// True when [offset, offset + length) lies inside a view of `size` bytes, without overflow.
inline bool InBounds(std::size_t size, std::size_t offset, std::size_t length) {
  return offset <= size && length <= size - offset;
}

}  // namespace pst::ltp
