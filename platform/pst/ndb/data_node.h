// The Node of the node database: a node's data as a sequence of blocks (one data block, or the
// leaves of an XBLOCK/XXBLOCK tree) and its subnode tree. Opening resolves the list of data blocks
// and their sizes from the block B-tree without reading any data block; reads then touch only the
// blocks that cover the requested range, keeping the last block read. Sequential reads take the
// stored extents of adjacent blocks from the file in one read of up to kRunBytes; each block is
// then checked and decoded on its own, exactly as if read alone. Buffers are kept from block to
// block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "platform/pst/ndb/block_buffer.h"
#include "platform/pst/ndb/btree_entries.h"
#include "platform/pst/ndb/node.h"
#include "platform/pst/result.h"

namespace pst::ndb {

class NodeDatabase;

class DataNode final : public Node {
 public:
  // subnode_path: the subnode trees of the nodes this one was opened from (empty for top-level
  // nodes); a subnode tree that reappears on its own path is a loop and is refused.
  static Result<std::unique_ptr<Node>> Open(const NodeDatabase& db, NodeId nid, BlockId data_bid,
                                            BlockId subnode_bid, std::vector<BlockId> subnode_path);

  NodeId id() const override { return nid_; }
  std::uint64_t size() const override { return starts_.back(); }
  std::size_t block_count() const override { return blocks_.size(); }
  Result<std::vector<std::byte>> ReadBlock(std::size_t index) const override;
  Result<std::size_t> ReadAt(std::uint64_t offset, std::span<std::byte> out) const override;
  Result<std::vector<std::byte>> ReadAll(std::uint64_t max_size) const override;
  Result<std::unique_ptr<Node>> OpenSubnode(NodeId subnode) const override;
  Result<std::vector<NodeId>> SubnodeIds() const override;

  BlockId subnode_bid() const { return subnode_bid_; }

  // Most bytes one read of adjacent blocks takes from the file.
  static constexpr std::size_t kRunBytes = 128 * 1024;

 private:
  DataNode(const NodeDatabase& db, NodeId nid, BlockId subnode_bid, std::vector<BlockId> path)
      : db_(db), nid_(nid), subnode_bid_(subnode_bid), subnode_path_(std::move(path)) {}

  Status ResolveBlocks(BlockId data_bid);
  Status AddDataTreeLeaves(BlockId bid, int want_level);
  Status AddLeaf(BlockId bid);
  Status CheckEachBlockOnce() const;
  // Makes block_ hold decoded block `index` (mu_ held). read_ahead: the caller reads on from
  // there, so adjacent blocks may come in with it.
  Status LoadBlock(std::size_t index, bool read_ahead) const;
  Status DecodeBlock(std::size_t index, bool read_ahead) const;
  // One past the last block of the run of adjacent blocks that starts at index.
  std::size_t RunEnd(std::size_t index) const;
  Status ReadRun(std::size_t first, std::size_t end) const;
  std::string Where() const;

  const NodeDatabase& db_;
  NodeId nid_;
  BlockId subnode_bid_;
  std::vector<BlockId> subnode_path_;
  struct Leaf {
    BlockId bid;       // as the data tree names it
    BlockEntry entry;  // as the block B-tree describes it
  };
  std::vector<Leaf> blocks_;              // data blocks in order
  std::vector<std::uint64_t> starts_{0};  // starts_[i]: offset of block i; back(): size
  std::uint32_t recorded_total_ = 0;      // lcbTotal of the root data tree block
  std::uint64_t file_extent_ = 0;         // room the leaves take in the file
  mutable std::mutex mu_;
  mutable std::size_t cached_index_ = SIZE_MAX;  // the block block_ holds
  mutable BlockBuffer block_;
  mutable std::size_t run_first_ = 0, run_end_ = 0;  // blocks whose stored extents run_ holds
  mutable BlockBuffer run_;
};

}  // namespace pst::ndb
