// The node and block B-trees, built bottom-up from their sorted leaf entries: full leaf pages,
// then levels of BTENTRY pages until one root page remains.
#pragma once

#include <vector>

#include "tools/pstwriter/block_writer.h"
#include "tools/pstwriter/subnode_tree_writer.h"

namespace pstwriter {

// One NBTENTRY.
struct NbtEntry {
  NodeId nid = 0;
  NodeBlocks blocks;
  NodeId parent = 0;
};

// Writes the node B-tree (entries sorted here) and returns the root page's BREF.
BlockRef WriteNodeBTree(BlockWriter& blocks, std::vector<NbtEntry> entries);
// Writes the block B-tree over every block written so far and returns the root page's BREF.
BlockRef WriteBlockBTree(BlockWriter& blocks);

}  // namespace pstwriter
