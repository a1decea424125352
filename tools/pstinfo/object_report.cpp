// The object report of the inspector.
#include "tools/pstinfo/object_report.h"

#include <string>

#include "platform/pst/messaging/node_ids.h"
#include "tools/pstinfo/property_render.h"
#include "tools/pstinfo/text_format.h"

namespace pstinfo {
namespace {

using pst::ErrorCode;
using pst::Status;
using pst::ltp::PropertyContext;
using pst::messaging::MessageStore;
using pst::messaging::NodeType;
using pst::ndb::NodeId;

constexpr std::uint16_t kAttachFilename = 0x3704;      // PR_ATTACH_FILENAME
constexpr std::uint16_t kAttachLongFilename = 0x3707;  // PR_ATTACH_LONG_FILENAME

bool IsTable(NodeType type) {
  switch (type) {
    case NodeType::kReceiveFolderTable:
    case NodeType::kHierarchyTable:
    case NodeType::kContentsTable:
    case NodeType::kAssociatedContentsTable:
    case NodeType::kSearchContentsTable:
    case NodeType::kAttachmentTable:
    case NodeType::kRecipientTable:
      return true;
    default:
      return false;
  }
}

std::string TagText(pst::ltp::PropTag tag) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", tag.value());
  return text;
}

// A value too large to read whole: its first bytes through a stream.
std::string LargeValueText(const PropertyContext& pc, std::uint16_t id) {
  auto stream = pc.OpenStream(id);
  if (!stream) return "<" + stream.status().message() + ">";
  std::vector<std::byte> head(kBinaryPreview);
  auto n = stream->ReadAt(0, head);
  if (!n) return "<" + n.status().message() + ">";
  head.resize(*n);
  return RenderBinaryPreview(head, stream->size());
}

void PrintProperties(const PropertyContext& pc, std::ostream& out) {
  out << pc.entries().size() << " properties\n";
  for (const PropertyContext::Entry& e : pc.entries()) {
    auto value = pc.Get(e.tag.id);
    std::string text;
    if (value) {
      text = RenderValue(*value);
    } else if (value.status().code() == ErrorCode::kLimit) {
      text = LargeValueText(pc, e.tag.id);
    } else {
      text = "<" + value.status().message() + ">";
    }
    out << TagText(e.tag) << "  " << TypeName(e.tag.type) << "  " << text << '\n';
  }
}

Status PrintTable(const MessageStore& store, NodeId id, std::ostream& out) {
  PST_ASSIGN_OR_RETURN(auto node, store.database().OpenNode(id));
  PST_ASSIGN_OR_RETURN(auto table, pst::ltp::TableContext::Open(
                                       std::move(node), store.properties().heap_id_layout()));
  out << "Table " << HexId(id) << ": " << table.row_count() << " rows, " << table.columns().size()
      << " columns\n";
  for (const auto& column : table.columns()) {
    out << TagText(column.tag) << "  " << TypeName(column.tag.type) << '\n';
  }
  return Status::Ok();
}

// One line per attachment: subnode id, PR_ATTACH_METHOD, data size, file name.
void PrintAttachmentLine(const pst::messaging::Message& message, NodeId id, std::ostream& out) {
  out << "  " << HexId(id);
  auto attachment = message.OpenAttachment(id);
  if (!attachment) {
    out << "  <" << attachment.status().message() << ">\n";
    return;
  }
  const auto method = attachment->method();
  out << "  method " << (method ? std::to_string(*method) : std::string("-"));
  auto data = attachment->OpenData();
  if (data) out << ", " << data->size() << " bytes";
  std::string name = pst::messaging::StringProperty(attachment->properties(), kAttachLongFilename);
  if (name.empty())
    name = pst::messaging::StringProperty(attachment->properties(), kAttachFilename);
  if (!name.empty()) out << ", \"" << FieldText(name) << '"';
  out << '\n';
}

void PrintAttachments(const pst::messaging::Message& message, std::ostream& out) {
  auto ids = message.AttachmentIds();
  if (!ids) {
    out << "Attachments: <" << ids.status().message() << ">\n";
    return;
  }
  out << "Attachments: " << ids->size() << '\n';
  for (NodeId id : *ids) PrintAttachmentLine(message, id, out);
}

Status PrintPropertyObject(const MessageStore& store, NodeId id, std::ostream& out) {
  const NodeType type = pst::messaging::TypeOf(id);
  if (id == pst::ndb::kNidMessageStore) {
    out << "Message store " << HexId(id) << ": ";
    PrintProperties(store.properties(), out);
  } else if (type == NodeType::kNormalFolder || type == NodeType::kSearchFolder) {
    PST_ASSIGN_OR_RETURN(auto folder, store.OpenFolder(id));
    out << "Folder " << HexId(id) << ": ";
    PrintProperties(folder.properties(), out);
  } else if (type == NodeType::kNormalMessage || type == NodeType::kAssociatedMessage) {
    PST_ASSIGN_OR_RETURN(auto message, store.OpenMessage(id));
    out << "Message " << HexId(id) << ": ";
    PrintProperties(message.properties(), out);
    PrintAttachments(message, out);
  } else {
    PST_ASSIGN_OR_RETURN(auto node, store.database().OpenNode(id));
    PST_ASSIGN_OR_RETURN(
        auto pc, PropertyContext::Open(std::move(node), store.properties().heap_id_layout()));
    pc.set_code_page(store.code_page());
    out << "Node " << HexId(id) << ": ";
    PrintProperties(pc, out);
  }
  return Status::Ok();
}

}  // namespace

Status PrintObject(const MessageStore& store, NodeId id, std::ostream& out) {
  PST_RETURN_IF_ERROR(store.database().FindNode(id));
  if (IsTable(pst::messaging::TypeOf(id))) return PrintTable(store, id, out);
  return PrintPropertyObject(store, id, out);
}

}  // namespace pstinfo
