// SLBLOCK and SIBLOCK: internal blocks of a node's subnode tree. A leaf (SLBLOCK, level 0) lists
// subnodes with their data and own subnode trees; an index (SIBLOCK, level 1) lists leaves by the
// first subnode id they hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/pst/ndb/format_layout.h"
#include "platform/pst/ndb/node.h"
#include "platform/pst/result.h"

namespace pst::ndb {

// SLENTRY.
struct SubnodeLeafEntry {
  NodeId nid = 0;
  BlockId data_bid = 0;
  BlockId subnode_bid = 0;
};

// SIENTRY.
struct SubnodeIndexEntry {
  NodeId nid = 0;  // first subnode id below the child
  BlockId child_bid = 0;
};

struct SubnodeBlock {
  static constexpr std::uint8_t kBlockType = 0x02;  // btype of SLBLOCK and SIBLOCK

  std::uint8_t level = 0;                // 0: SLBLOCK, 1: SIBLOCK
  std::vector<SubnodeLeafEntry> leaves;  // level 0
  std::vector<SubnodeIndexEntry> index;  // level 1

  // Decodes a block's data; bid names it in errors.
  static Result<SubnodeBlock> Decode(std::span<const std::byte> data, const FormatLayout& layout,
                                     BlockId bid);
};

}  // namespace pst::ndb
