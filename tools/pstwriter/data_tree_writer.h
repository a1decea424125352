// A node's data stream written as data blocks, then tied together by an XBLOCK (up to one
// XBLOCK's worth of blocks) or an XXBLOCK of XBLOCKs. Bytes go to the file as soon as a block is
// full, so streams of hundreds of megabytes never sit in memory.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tools/pstwriter/block_writer.h"

namespace pstwriter {

class DataTreeWriter {
 public:
  explicit DataTreeWriter(BlockWriter& blocks) : blocks_(blocks) {}

  // Appends bytes; full blocks are written as they fill.
  void Append(std::span<const std::byte> data);
  // Writes data as exactly one block of its own (a heap page, a run of table rows). Ends any
  // partly filled block first.
  void AppendBlock(std::span<const std::byte> data);
  // Writes what is pending and the XBLOCK/XXBLOCK levels; returns the id the node refers to.
  BlockId Finish();

  std::uint64_t size() const { return total_; }

 private:
  void FlushPending();
  void CheckTotal(std::size_t more);
  std::vector<BlockId> WriteLevel(const std::vector<BlockId>& children, std::uint8_t level,
                                  const std::vector<std::uint64_t>& sizes,
                                  std::vector<std::uint64_t>* level_sizes);

  BlockWriter& blocks_;
  Bytes pending_;
  std::vector<BlockId> leaves_;
  std::vector<std::uint64_t> leaf_sizes_;
  std::uint64_t total_ = 0;
};

// Writes data as one node data stream and returns its id.
BlockId WriteDataTree(BlockWriter& blocks, std::span<const std::byte> data);

}  // namespace pstwriter
