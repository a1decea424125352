// The subnodes of one node (SLBLOCK leaves, an SIBLOCK above them when there are many).
#pragma once

#include <cstdint>
#include <vector>

#include "tools/pstwriter/block_writer.h"

namespace pstwriter {

using NodeId = std::uint32_t;

// What an NBTENTRY or SLENTRY says about a node: its data and its own subnodes.
struct NodeBlocks {
  BlockId data = 0;
  BlockId subnodes = 0;  // 0 when the node has none
};

class SubnodeTreeWriter {
 public:
  void Add(NodeId nid, NodeBlocks blocks) { entries_.push_back({nid, blocks}); }
  bool empty() const { return entries_.empty(); }
  // Writes the SLBLOCK/SIBLOCK tree; returns 0 when there are no subnodes.
  BlockId Finish(BlockWriter& blocks);

 private:
  struct Entry {
    NodeId nid;
    NodeBlocks blocks;
  };
  std::vector<Entry> entries_;
};

}  // namespace pstwriter
