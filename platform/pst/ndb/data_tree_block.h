// XBLOCK and XXBLOCK: internal blocks that list the blocks of a node's data when it does not fit
// one block. An XBLOCK (level 1) lists data blocks; an XXBLOCK (level 2) lists XBLOCKs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/pst/ndb/format_layout.h"
#include "platform/pst/ndb/node.h"
#include "platform/pst/result.h"

namespace pst::ndb {

struct DataTreeBlock {
  static constexpr std::uint8_t kBlockType = 0x01;  // btype of XBLOCK and XXBLOCK
  static constexpr std::size_t kHeaderSize = 8;     // btype, cLevel, cEnt, lcbTotal

  std::uint8_t level = 0;         // 1: XBLOCK, 2: XXBLOCK
  std::uint32_t total_size = 0;   // lcbTotal: bytes of node data below this block
  std::vector<BlockId> children;  // rgbid

  // Decodes a block's data; bid names it in errors. kCorrupt for a wrong type or level, or entries
  // that do not fit the block.
  static Result<DataTreeBlock> Decode(std::span<const std::byte> data, const FormatLayout& layout,
                                      BlockId bid);
};

}  // namespace pst::ndb
