// BLOCKTRAILER: the last bytes of every block on disk, after the data and its padding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/pst/ndb/format_layout.h"

namespace pst::ndb {

struct BlockTrailer {
  std::uint16_t stored_size = 0;  // cb
  std::uint16_t signature = 0;    // wSig
  std::uint32_t crc = 0;          // dwCRC over the cb stored bytes
  std::uint64_t bid = 0;
  std::uint16_t inflated_size = 0;  // cbInflated (4 KiB-page files only), else equal to cb

  // Loads the trailer from the end of a whole on-disk block (data, padding, trailer); the caller
  // guarantees at least layout.block_trailer_size bytes.
  static BlockTrailer LoadFromBlockEnd(std::span<const std::byte> block,
                                       const FormatLayout& layout);
};

}  // namespace pst::ndb
