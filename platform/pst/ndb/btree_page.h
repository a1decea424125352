// BTPAGE with its PAGETRAILER: one page of the node or block B-tree, decoded into its entries.
// Intermediate pages (level > 0) hold BtEntry children, leaves hold NodeEntry or BlockEntry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/pst/ndb/block_ref.h"
#include "platform/pst/ndb/btree_entries.h"
#include "platform/pst/ndb/format_layout.h"
#include "platform/pst/result.h"

namespace pst::ndb {

// ptype values of a PAGETRAILER.
enum class PageType : std::uint8_t {
  kBlockBTree = 0x80,  // ptypeBBT
  kNodeBTree = 0x81,   // ptypeNBT
};

// PAGETRAILER.
struct PageTrailer {
  std::uint8_t ptype = 0;
  std::uint8_t ptype_repeat = 0;
  std::uint16_t signature = 0;  // wSig
  std::uint32_t crc = 0;        // dwCRC over the page bytes before the trailer
  std::uint64_t bid = 0;

  // The caller guarantees a whole page.
  static PageTrailer Load(std::span<const std::byte> page, const FormatLayout& layout);
};

class BTreePage {
 public:
  // Decodes a page read from ref.ib. Refused (kCorrupt, naming the page) when the type, the
  // back-pointer to ref.bid or the entry counts are wrong. A CRC or signature mismatch is not
  // fatal: it is reported through crc_ok()/signature_ok() for the caller to trace and count.
  static Result<BTreePage> Decode(std::span<const std::byte> page, const FormatLayout& layout,
                                  PageType type, const BlockRef& ref);

  std::uint8_t level() const { return level_; }
  bool crc_ok() const { return crc_ok_; }
  bool signature_ok() const { return signature_ok_; }
  const std::vector<BtEntry>& children() const { return children_; }
  const std::vector<NodeEntry>& nodes() const { return nodes_; }
  const std::vector<BlockEntry>& blocks() const { return blocks_; }

 private:
  std::uint8_t level_ = 0;
  bool crc_ok_ = true;
  bool signature_ok_ = true;
  std::vector<BtEntry> children_;
  std::vector<NodeEntry> nodes_;
  std::vector<BlockEntry> blocks_;
};

}  // namespace pst::ndb
