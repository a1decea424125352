// Little-endian loads from byte views under the short names this layer uses (the reader's shared
// loads in util/endian.h), and a bounds test. Callers check the bounds
// (each decoder validates sizes before it loads); these only assemble the integers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/pst/util/endian.h"

namespace pst::ltp {

using Bytes = std::span<const std::byte>;

inline std::uint8_t LoadU8(Bytes b, std::size_t at) { return static_cast<std::uint8_t>(b[at]); }

inline std::uint16_t LoadU16(Bytes b, std::size_t at) { return util::LoadLe16(b, at); }
inline std::uint32_t LoadU32(Bytes b, std::size_t at) { return util::LoadLe32(b, at); }
inline std::uint64_t LoadU64(Bytes b, std::size_t at) { return util::LoadLe64(b, at); }

// True when [offset, offset + length) lies inside a view of `size` bytes, without overflow.
inline bool InBounds(std::size_t size, std::size_t offset, std::size_t length) {
  return offset <= size && length <= size - offset;
}

}  // namespace pst::ltp
