// Heap ids (HID) and the HNID that is either a heap id or a subnode id. A HID packs a node type of
// zero (5 bits), a 1-based allocation index (11 bits) and the heap's block index (16 bits).
#pragma once

#include <cstdint>

#include "platform/pst/ndb/node.h"

namespace pst::ltp {

inline constexpr std::uint32_t kNidTypeMask = 0x1F;  // low 5 bits of a NID or HID: the node type
inline constexpr std::uint32_t kNidTypeHid = 0x00;   // NID_TYPE_HID: the value is a heap id

struct HeapId {
  std::uint32_t raw = 0;

  std::uint32_t type() const { return raw & kNidTypeMask; }
  // 1-based index into the page map of the block; 0 means "no allocation".
  std::uint32_t index() const { return (raw >> 5) & 0x7FF; }
  std::uint32_t block_index() const { return raw >> 16; }
  bool is_null() const { return raw == 0; }
};

// HNID: a heap id when the node-type bits are zero, otherwise the NID of a subnode.
struct HeapOrNodeId {
  std::uint32_t raw = 0;

  bool is_null() const { return raw == 0; }
  bool is_heap_id() const { return (raw & kNidTypeMask) == kNidTypeHid; }
  HeapId heap_id() const { return HeapId{raw}; }
  NodeId node_id() const { return raw; }
};

}  // namespace pst::ltp
