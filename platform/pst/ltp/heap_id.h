// Heap ids (HID) and the HNID that is either a heap id or a subnode id. A HID packs a node type of
// zero (5 bits), a 1-based allocation index and the heap's block index. Files with 512-byte pages
// give the index 11 bits and the block index the top 16; files with 4 KiB pages, whose heap blocks
// reach 64 KiB, widen the index to 14 bits and start the block index at bit 19.
#pragma once

#include <cstdint>

#include "platform/pst/ndb/format_layout.h"
#include "platform/pst/ndb/node.h"

namespace pst::ltp {

inline constexpr std::uint32_t kNidTypeMask = 0x1F;  // low 5 bits of a NID or HID: the node type
inline constexpr std::uint32_t kNidTypeHid = 0x00;   // NID_TYPE_HID: the value is a heap id

// How the index and block index of a HID are packed; fixed by the file variant.
enum class HeapIdLayout : std::uint8_t {
  k512BytePages,  // 11-bit index, block index in bits 16-31
  k4KiBPages,     // 14-bit index, block index in bits 19-31
};

inline constexpr HeapIdLayout HeapIdLayoutFor(ndb::FormatVariant variant) {
  return variant == ndb::FormatVariant::kUnicode4k ? HeapIdLayout::k4KiBPages
                                                   : HeapIdLayout::k512BytePages;
}

struct HeapId {
  std::uint32_t raw = 0;

  std::uint32_t type() const { return raw & kNidTypeMask; }
  // 1-based index into the page map of the block; 0 means "no allocation".
  std::uint32_t index(HeapIdLayout layout) const {
    return (raw >> 5) & ((std::uint32_t{1} << (BlockShift(layout) - 5)) - 1);
  }
  std::uint32_t block_index(HeapIdLayout layout) const { return raw >> BlockShift(layout); }
  bool is_null() const { return raw == 0; }

  // The bit where the block index starts.
  static constexpr unsigned BlockShift(HeapIdLayout layout) {
    return layout == HeapIdLayout::k4KiBPages ? 19 : 16;
  }
};

// HNID: a heap id when the node-type bits are zero, otherwise the NID of a subnode.
struct HeapOrNodeId {
  std::uint32_t raw = 0;

  bool is_null() const { return raw == 0; }
  bool is_heap_id() const { return (raw & kNidTypeMask) == kNidTypeHid; }
  HeapId heap_id() const { return HeapId{raw}; }
  ndb::NodeId node_id() const { return raw; }
};

}  // namespace pst::ltp
