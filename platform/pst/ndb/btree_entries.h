// Entries of the two B-trees: BTENTRY (intermediate pages of either tree), NBTENTRY (leaves of the
// node B-tree) and BBTENTRY (leaves of the block B-tree). Each loads from a slot of a page whose
// size the page decoder has checked against MinSize().
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/pst/ndb/block_ref.h"
#include "platform/pst/ndb/format_layout.h"
#include "platform/pst/ndb/node.h"

namespace pst::ndb {

// BTENTRY: the smallest key below a child page and where that page is.
struct BtEntry {
  std::uint64_t key = 0;
  BlockRef child;

  static std::size_t MinSize(const FormatLayout& l) { return l.id_size + BlockRef::Size(l); }
  static BtEntry Load(std::span<const std::byte> slot, const FormatLayout& l) {
    return {util::LoadLeId(slot, 0, l.id_size), BlockRef::Load(slot, l.id_size, l)};
  }
};

// NBTENTRY: one top-level node.
struct NodeEntry {
  NodeId nid = 0;
  BlockId data_bid = 0;     // bidData, 0 for a node without data
  BlockId subnode_bid = 0;  // bidSub, 0 for a node without subnodes
  NodeId parent_nid = 0;    // nidParent

  static std::size_t MinSize(const FormatLayout& l) { return 3 * l.id_size + 4; }
  static NodeEntry Load(std::span<const std::byte> slot, const FormatLayout& l) {
    const std::size_t w = l.id_size;
    // A NID is 32 bits; the Unicode layouts widen the key to 64 bits with zeros.
    return {static_cast<NodeId>(util::LoadLeId(slot, 0, w)), util::LoadLeId(slot, w, w),
            util::LoadLeId(slot, 2 * w, w), util::LoadLe32(slot, 3 * w)};
  }
};

// BBTENTRY: one block, where it is and how big.
struct BlockEntry {
  BlockRef ref;
  std::uint32_t stored_size = 0;    // cb: bytes of data on disk
  std::uint32_t inflated_size = 0;  // cbInflated (4 KiB-page files), else equal to stored_size
  std::uint16_t ref_count = 0;      // cRef

  static std::size_t MinSize(const FormatLayout& l) {
    return BlockRef::Size(l) + (l.compressed_blocks ? 6 : 4);
  }
  static BlockEntry Load(std::span<const std::byte> slot, const FormatLayout& l) {
    const std::size_t at = BlockRef::Size(l);
    BlockEntry e;
    e.ref = BlockRef::Load(slot, 0, l);
    e.stored_size = util::LoadLe16(slot, at);
    e.inflated_size = l.compressed_blocks ? util::LoadLe16(slot, at + 2) : e.stored_size;
    e.ref_count = util::LoadLe16(slot, at + (l.compressed_blocks ? 4 : 2));
    return e;
  }
};

}  // namespace pst::ndb
