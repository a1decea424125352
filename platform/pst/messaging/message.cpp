// Messages and attachments over their nodes and subnodes.
#include "platform/pst/messaging/message.h"

#include <string>

#include "platform/pst/ltp/codepage_text.h"
#include "platform/pst/messaging/node_ids.h"
#include "platform/pst/messaging/property_tags.h"

namespace pst::messaging {

namespace {

std::optional<std::uint32_t> PositiveLong(const ltp::PropertyContext& pc, ltp::PropTag tag) {
  auto value = pc.Get(tag);
  if (!value) return std::nullopt;
  auto number = value->AsInt32();
  if (!number || *number <= 0) return std::nullopt;
  return static_cast<std::uint32_t>(*number);
}

std::string Where(ndb::NodeId nid) { return "message " + std::to_string(nid) + ": "; }

}  // namespace

Result<Message> Message::Open(std::unique_ptr<ndb::Node> node, std::uint32_t fallback_code_page,
                              int depth, ltp::HeapIdLayout layout) {
  PST_ASSIGN_OR_RETURN(auto pc, ltp::PropertyContext::Open(std::move(node), layout));
  std::uint32_t code_page = fallback_code_page ? fallback_code_page : ltp::kDefaultCodePage;
  if (auto cp = PositiveLong(pc, tags::kMessageCodePage)) {
    code_page = *cp;
  } else if (auto internet = PositiveLong(pc, tags::kInternetCodePage)) {
    code_page = *internet;
  }
  pc.set_code_page(code_page);
  return Message(std::move(pc), depth);
}

Result<std::optional<ltp::TableContext>> Message::OpenTable(ndb::NodeId subnode) const {
  auto node = properties_.node().OpenSubnode(subnode);
  if (!node) {
    if (node.status().code() == ErrorCode::kNotFound) return std::optional<ltp::TableContext>();
    return node.status();
  }
  auto table = ltp::TableContext::Open(std::move(*node), properties_.heap_id_layout());
  if (!table) return Status(table.status().code(), Where(id()) + table.status().message());
  table->set_code_page(code_page());
  return std::optional<ltp::TableContext>(std::move(*table));
}

Result<std::optional<ltp::TableContext>> Message::OpenExpectedTable(ndb::NodeId subnode,
                                                                    bool expected,
                                                                    const char* what) const {
  auto table = OpenTable(subnode);
  if (table && !table->has_value() && expected) {
    return Status::Corrupt(Where(id()) + "it has " + what + " but its " + what +
                           " table cannot be found");
  }
  return table;
}

bool Message::FlaggedWithAttachments() const {
  auto flags = PositiveLong(properties_, tags::kMessageFlags);
  return flags && (*flags & tags::kMsgFlagHasAttach) != 0;
}

bool Message::NamesRecipients() const {
  for (std::uint16_t id : {tags::kDisplayToId, tags::kDisplayCcId, tags::kDisplayBccId}) {
    auto value = properties_.Get(id);
    if (!value) continue;
    auto text = value->AsUtf8();
    if (text && text->find_first_not_of(" ;") != std::string::npos) return true;
  }
  return false;
}

Result<std::optional<ltp::TableContext>> Message::OpenRecipientTable() const {
  return OpenExpectedTable(kNidRecipientTable, NamesRecipients(), "recipients");
}

Result<std::optional<ltp::TableContext>> Message::OpenAttachmentTable() const {
  return OpenExpectedTable(kNidAttachmentTable, FlaggedWithAttachments(), "attachments");
}

Result<std::vector<ndb::NodeId>> Message::AttachmentIds() const {
  PST_ASSIGN_OR_RETURN(auto table, OpenAttachmentTable());
  std::vector<ndb::NodeId> ids;
  if (!table.has_value()) return ids;
  for (std::size_t i = 0; i < table->row_count(); ++i) {
    PST_ASSIGN_OR_RETURN(auto row, table->ReadRow(i));
    ids.push_back(row.row_id());
  }
  return ids;
}

Result<Attachment> Message::OpenAttachment(ndb::NodeId attachment) const {
  PST_ASSIGN_OR_RETURN(auto node, properties_.node().OpenSubnode(attachment));
  return Attachment::Open(std::move(node), code_page(), depth_, properties_.heap_id_layout());
}

Result<Attachment> Attachment::Open(std::unique_ptr<ndb::Node> node, std::uint32_t code_page,
                                    int message_depth, ltp::HeapIdLayout layout) {
  PST_ASSIGN_OR_RETURN(auto pc, ltp::PropertyContext::Open(std::move(node), layout));
  pc.set_code_page(code_page);
  return Attachment(std::move(pc), message_depth);
}

std::optional<std::int32_t> Attachment::method() const {
  auto value = properties_.Get(tags::kAttachMethod);
  if (!value) return std::nullopt;
  auto number = value->AsInt32();
  return number ? std::optional<std::int32_t>(*number) : std::nullopt;
}

bool Attachment::has_data_object() const {
  auto tag = properties_.FindTag(tags::kAttachDataObject.id);
  return tag && tag->type == ltp::prop_type::kObject;
}

Result<std::unique_ptr<ndb::Node>> Attachment::OpenDataObjectNode() const {
  PST_ASSIGN_OR_RETURN(auto value, properties_.Get(tags::kAttachDataObject));
  PST_ASSIGN_OR_RETURN(auto object, value.AsObject());
  return properties_.node().OpenSubnode(object.node);
}

Result<ltp::ValueStream> Attachment::OpenData() const {
  auto tag = properties_.FindTag(tags::kAttachDataBin.id);
  if (!tag) return Status::NotFound("attachment " + std::to_string(id()) + " has no data");
  if (tag->type == ltp::prop_type::kObject) {
    PST_ASSIGN_OR_RETURN(auto node, OpenDataObjectNode());
    return ltp::ValueStream::FromNode(std::move(node));
  }
  if (tag->type != ltp::prop_type::kBinary) {
    return Status::Corrupt("attachment " + std::to_string(id()) + " data has a wrong type");
  }
  return properties_.OpenStream(tags::kAttachDataBin.id);
}

Result<Message> Attachment::OpenEmbeddedMessage() const {
  if (message_depth_ + 1 > Message::kMaxDepth) {
    return Status::Limit("attachment " + std::to_string(id()) +
                         ": embedded messages nest deeper than " +
                         std::to_string(Message::kMaxDepth));
  }
  if (!has_data_object()) {
    return Status::NotFound("attachment " + std::to_string(id()) + " holds no embedded message");
  }
  PST_ASSIGN_OR_RETURN(auto node, OpenDataObjectNode());
  return Message::Open(std::move(node), properties_.code_page(), message_depth_ + 1,
                       properties_.heap_id_layout());
}

}  // namespace pst::messaging
