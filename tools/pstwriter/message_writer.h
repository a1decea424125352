// Writes one message as a node's data and subnodes: its property context, its recipient and
// attachment tables, each attachment as a subnode with its own subnodes, embedded messages as
// subnodes of their attachment.
#pragma once

#include <cstdint>

#include "tools/pstwriter/block_writer.h"
#include "tools/pstwriter/ltp_value.h"
#include "tools/pstwriter/message.h"
#include "tools/pstwriter/subnode_tree_writer.h"

namespace pstwriter {

constexpr NodeId kNidRecipientTable = 0x692;
constexpr NodeId kNidAttachmentTable = 0x671;
constexpr int kMaxEmbeddingDepth = 32;

struct WrittenNode {
  NodeBlocks blocks;
  std::uint64_t size = 0;  // bytes of the node's data
};

class MessageWriter {
 public:
  MessageWriter(BlockWriter& blocks, std::uint32_t store_code_page)
      : blocks_(blocks), store_code_page_(store_code_page) {}

  // depth counts embedding levels (0 for a message in a folder).
  WrittenNode Write(const Message& message, int depth = 0);
  // The text encoding of a message: its own code page for 8-bit text, else the store's.
  TextEncoding EncodingFor(const PropertyBag& props) const;

 private:
  WrittenNode WriteAttachment(const Attachment& attachment, const TextEncoding& encoding,
                              int depth);

  BlockWriter& blocks_;
  std::uint32_t store_code_page_;
};

}  // namespace pstwriter
