// Node ids as the messaging layer sees them: the node type in the low five bits, the well-known
// internal nodes of a store, and the subnodes every message keeps.
#pragma once

#include <cstdint>

#include "platform/pst/ndb/node.h"

namespace pst::messaging {

// NID_TYPE: what kind of object a node id names.
enum class NodeType : std::uint8_t {
  kHeapId = 0x00,
  kInternal = 0x01,
  kNormalFolder = 0x02,
  kSearchFolder = 0x03,
  kNormalMessage = 0x04,
  kAttachment = 0x05,
  kAssociatedMessage = 0x08,
  kReceiveFolderTable = 0x0B,
  kHierarchyTable = 0x0D,
  kContentsTable = 0x0E,
  kAssociatedContentsTable = 0x0F,
  kSearchContentsTable = 0x10,
  kAttachmentTable = 0x11,
  kRecipientTable = 0x12,
  kLtp = 0x1F,
};

inline constexpr ndb::NodeId kNodeTypeMask = 0x1F;

inline NodeType TypeOf(ndb::NodeId nid) { return static_cast<NodeType>(nid & kNodeTypeMask); }
// The node of the same index with another type (a folder's tables share its index).
inline ndb::NodeId WithType(ndb::NodeId nid, NodeType type) {
  return (nid & ~kNodeTypeMask) | static_cast<ndb::NodeId>(type);
}

// The store, name-to-id map and root folder nodes are named in the node database header.
inline constexpr ndb::NodeId kNidReceiveFolderTable = 0x62B;  // the store's receive-folder table
inline constexpr ndb::NodeId kNidAttachmentTable = 0x671;  // a message's attachment table subnode
inline constexpr ndb::NodeId kNidRecipientTable = 0x692;   // a message's recipient table subnode

}  // namespace pst::messaging
