// The contract between the node database and the layers above it: one node's data (a byte stream
// made of one or more data blocks) and its subnodes. The lists-tables-properties layer reads heaps
// block by block and values by range; it never sees B-trees, encodings or block trailers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/pst/result.h"

namespace pst::ndb {

using NodeId = std::uint32_t;   // NID: low 5 bits are the node type
using BlockId = std::uint64_t;  // BID (32-bit in ANSI files, widened here)

// One node's data, opened from the node B-tree (top-level nodes) or from a subnode tree.
// Cheap to copy the handle; reads go to the file through the owning database, which must outlive
// it.
class Node {
 public:
  virtual ~Node() = default;

  virtual NodeId id() const = 0;
  // Total size of the node's data in bytes (0 for a node without data).
  virtual std::uint64_t size() const = 0;
  // Number of data blocks the data is made of (XBLOCK/XXBLOCK leaves, or 1 for a single block).
  virtual std::size_t block_count() const = 0;
  // The i-th data block, decoded (decrypted, decompressed), without its trailer. Heaps need this:
  // each heap page is one data block.
  virtual Result<std::vector<std::byte>> ReadBlock(std::size_t index) const = 0;
  // Reads up to out.size() bytes at offset into out; returns the count read (short only at the end
  // of the data). Reads only the blocks that cover the range.
  virtual Result<std::size_t> ReadAt(std::uint64_t offset, std::span<std::byte> out) const = 0;
  // The whole data, refused with kLimit when larger than max_size.
  virtual Result<std::vector<std::byte>> ReadAll(std::uint64_t max_size) const = 0;
  // A subnode of this node by its NID (from the node's SLBLOCK/SIBLOCK tree).
  virtual Result<std::unique_ptr<Node>> OpenSubnode(NodeId subnode) const = 0;
  // The NIDs of all subnodes, in tree order.
  virtual Result<std::vector<NodeId>> SubnodeIds() const = 0;
};

}  // namespace pst::ndb
