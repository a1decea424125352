// A message: its property context, its recipient and attachment tables and its attachments, all
// kept in the message node and its subnodes. Embedded messages are messages too, opened from an
// attachment with a nesting depth.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/pst/ltp/property_context.h"
#include "platform/pst/ltp/table_context.h"

namespace pst::messaging {

class Attachment;

class Message {
 public:
  // Deepest nesting of embedded messages that is opened (a top-level message has depth 0).
  static constexpr int kMaxDepth = 32;

  // Opens the message kept in `node`. String values use the message's own code page
  // (PR_MESSAGE_CODEPAGE, else PR_INTERNET_CPID), else `fallback_code_page`. `layout` is that
  // of the node's file.
  static Result<Message> Open(std::unique_ptr<ndb::Node> node, std::uint32_t fallback_code_page,
                              int depth = 0,
                              ltp::HeapIdLayout layout = ltp::HeapIdLayout::k512BytePages);

  ndb::NodeId id() const { return properties_.node().id(); }
  int depth() const { return depth_; }
  const ltp::PropertyContext& properties() const { return properties_; }
  // The code page that applies to this message's 8-bit strings.
  std::uint32_t code_page() const { return properties_.code_page(); }

  // The recipient table; nullopt when the message keeps none (no recipients). A message whose
  // display lists name recipients but whose table cannot be found is damaged (kCorrupt).
  Result<std::optional<ltp::TableContext>> OpenRecipientTable() const;
  // The attachment table; nullopt when the message keeps none (no attachments). A message flagged
  // as having attachments whose table cannot be found is damaged (kCorrupt).
  Result<std::optional<ltp::TableContext>> OpenAttachmentTable() const;
  // The subnode ids of the attachments, in attachment-table order (empty without a table).
  Result<std::vector<ndb::NodeId>> AttachmentIds() const;
  // One attachment by its subnode id.
  Result<Attachment> OpenAttachment(ndb::NodeId attachment) const;

 private:
  Message(ltp::PropertyContext properties, int depth)
      : properties_(std::move(properties)), depth_(depth) {}

  Result<std::optional<ltp::TableContext>> OpenTable(ndb::NodeId subnode) const;
  // OpenTable, with a table that cannot be found while `expected` turned into damage.
  Result<std::optional<ltp::TableContext>> OpenExpectedTable(ndb::NodeId subnode, bool expected,
                                                             const char* what) const;
  bool FlaggedWithAttachments() const;
  bool NamesRecipients() const;

  ltp::PropertyContext properties_;
  int depth_;
};

// One attachment: its property context and, depending on PR_ATTACH_METHOD, its data (by value,
// OLE) or an embedded message. References and web references carry no data in the file.
class Attachment {
 public:
  static Result<Attachment> Open(std::unique_ptr<ndb::Node> node, std::uint32_t code_page,
                                 int message_depth, ltp::HeapIdLayout layout);

  ndb::NodeId id() const { return properties_.node().id(); }
  const ltp::PropertyContext& properties() const { return properties_; }
  // PR_ATTACH_METHOD, nullopt when absent.
  std::optional<std::int32_t> method() const;
  // Whether PR_ATTACH_DATA_OBJ names an object (an embedded message or OLE storage).
  bool has_data_object() const;

  // PR_ATTACH_DATA_BIN (or the object's bytes) as a stream; kNotFound when the attachment has none.
  Result<ltp::ValueStream> OpenData() const;
  // The embedded message of PR_ATTACH_DATA_OBJ; kLimit beyond Message::kMaxDepth.
  Result<Message> OpenEmbeddedMessage() const;

 private:
  Attachment(ltp::PropertyContext properties, int message_depth)
      : properties_(std::move(properties)), message_depth_(message_depth) {}

  Result<std::unique_ptr<ndb::Node>> OpenDataObjectNode() const;

  ltp::PropertyContext properties_;
  int message_depth_;
};

}  // namespace pst::messaging
