// Builds small file images in memory for node-database tests: a header, node and block B-trees
// and blocks with correct trailers, in any of the three variants. Tests then damage chosen bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "platform/pst/ndb/block_encoding.h"
#include "platform/pst/ndb/format_layout.h"
#include "platform/pst/ndb/node.h"

namespace pst::testing {

std::vector<std::byte> Bytes(std::string_view text);
std::vector<std::byte> Pattern(std::size_t size, std::uint8_t seed);

class NdbImageBuilder {
 public:
  struct SubnodeSpec {
    ndb::NodeId nid;
    ndb::BlockId data_bid;
    ndb::BlockId subnode_bid;
  };

  explicit NdbImageBuilder(ndb::FormatVariant variant,
                           ndb::CryptMethod crypt = ndb::CryptMethod::kPermute);

  // A data block (encoded with the file's method); with compress, a zlib stream (4 KiB variant).
  ndb::BlockId AddDataBlock(std::span<const std::byte> plain, bool compress = false);
  // XBLOCK (level 1) or XXBLOCK (level 2).
  ndb::BlockId AddDataTree(std::uint8_t level, const std::vector<ndb::BlockId>& children,
                           std::uint32_t total_size);
  ndb::BlockId AddSubnodeLeaf(const std::vector<SubnodeSpec>& entries);
  ndb::BlockId AddSubnodeIndex(const std::vector<std::pair<ndb::NodeId, ndb::BlockId>>& entries);
  // An internal block with arbitrary content.
  ndb::BlockId AddInternalBlock(std::span<const std::byte> raw);
  void AddNode(ndb::NodeId nid, ndb::BlockId data_bid, ndb::BlockId subnode_bid = 0,
               ndb::NodeId parent = 0);
  // Lists a block id in the block B-tree at the place of another block (for duplicates).
  void AliasBlock(ndb::BlockId alias, ndb::BlockId existing);

  std::vector<std::byte> Build() const;

  // Where a block's bytes begin in the built image.
  std::uint64_t BlockOffset(ndb::BlockId bid) const;
  const ndb::FormatLayout& layout() const { return layout_; }

 private:
  struct StoredBlock {
    ndb::BlockId bid;
    std::uint64_t ib;
    std::uint16_t stored;
    std::uint16_t inflated;
  };
  struct NodeSpec {
    ndb::NodeId nid;
    ndb::BlockId data, sub;
    ndb::NodeId parent;
  };

  ndb::BlockId Store(std::vector<std::byte> stored, bool internal, std::uint16_t inflated);
  void PutId(std::vector<std::byte>& out, std::size_t at, std::uint64_t v) const;
  void PutIdAndCrc(std::vector<std::byte>& out, std::size_t at, ndb::BlockId bid,
                   std::uint32_t crc) const;
  void BuildTree(bool nodes, std::vector<std::byte>& image, std::uint64_t& bid_counter,
                 ndb::BlockId& root_bid, std::uint64_t& root_ib) const;

  const ndb::FormatLayout& layout_;
  ndb::CryptMethod crypt_;
  std::uint64_t next_bid_ = 4;
  std::vector<std::byte> blocks_area_;  // starts at kBlocksStart
  std::vector<StoredBlock> blocks_;
  std::vector<NodeSpec> nodes_;
};

void PutLe16(std::vector<std::byte>& out, std::size_t at, std::uint16_t v);
void PutLe32(std::vector<std::byte>& out, std::size_t at, std::uint32_t v);
void PutLe64(std::vector<std::byte>& out, std::size_t at, std::uint64_t v);

}  // namespace pst::testing
