// The subnodes of the node being written: fresh subnode ids, and values that go to a subnode of
// their own because they are too large for the heap.
#pragma once

#include <cstdint>
#include <span>

#include "tools/pstwriter/block_writer.h"
#include "tools/pstwriter/byte_source.h"
#include "tools/pstwriter/subnode_tree_writer.h"

namespace pstwriter {

// nidType values used for subnodes.
enum NodeType : std::uint8_t {
  kNidTypeHid = 0x00,
  kNidTypeInternal = 0x01,
  kNidTypeNormalFolder = 0x02,
  kNidTypeSearchFolder = 0x03,
  kNidTypeNormalMessage = 0x04,
  kNidTypeAttachment = 0x05,
  kNidTypeAssocMessage = 0x08,
  kNidTypeReceiveFolderTable = 0x0B,
  kNidTypeHierarchyTable = 0x0D,
  kNidTypeContentsTable = 0x0E,
  kNidTypeAssocContentsTable = 0x0F,
  kNidTypeAttachmentTable = 0x11,
  kNidTypeRecipientTable = 0x12,
  kNidTypeLtp = 0x1F,
};

constexpr NodeId MakeNid(std::uint8_t type, std::uint32_t index) { return (index << 5) | type; }

class SubnodeAllocator {
 public:
  explicit SubnodeAllocator(BlockWriter& blocks) : blocks_(blocks) {}

  BlockWriter& blocks() { return blocks_; }
  NodeId NewId(std::uint8_t type) { return MakeNid(type, next_index_++); }
  void Add(NodeId nid, NodeBlocks node) { tree_.Add(nid, node); }
  // A new subnode holding data (or the bytes of source); returns its id.
  NodeId AddData(std::span<const std::byte> data);
  NodeId AddStream(const ByteSource& source);
  // Writes the subnode tree; 0 when the node has no subnodes.
  BlockId Finish() { return tree_.Finish(blocks_); }

 private:
  BlockWriter& blocks_;
  SubnodeTreeWriter tree_;
  std::uint32_t next_index_ = 0x400;
};

}  // namespace pstwriter
