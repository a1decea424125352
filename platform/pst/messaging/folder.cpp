// Folders over their property context and their table nodes.
#include "platform/pst/messaging/folder.h"

#include "platform/pst/messaging/node_ids.h"
#include "platform/pst/messaging/property_tags.h"

namespace pst::messaging {

std::string StringProperty(const ltp::PropertyContext& pc, std::uint16_t id) {
  auto value = pc.Get(id);
  if (!value) return {};
  auto text = value->AsUtf8();
  return text ? *text : std::string();
}

Result<Folder> Folder::Open(const ndb::NodeDatabase& db, ndb::NodeId nid, std::uint32_t code_page) {
  const NodeType type = TypeOf(nid);
  if (type != NodeType::kNormalFolder && type != NodeType::kSearchFolder) {
    return Status::NotFound("node " + std::to_string(nid) + " is not a folder");
  }
  PST_ASSIGN_OR_RETURN(auto node, db.OpenNode(nid));
  PST_ASSIGN_OR_RETURN(auto pc, ltp::PropertyContext::Open(
                                    std::move(node), ltp::HeapIdLayoutFor(db.header().variant)));
  pc.set_code_page(code_page);
  return Folder(&db, std::move(pc));
}

std::string Folder::display_name() const {
  return StringProperty(properties_, tags::kDisplayNameId);
}

std::string Folder::container_class() const {
  return StringProperty(properties_, tags::kContainerClassId);
}

std::optional<std::int32_t> Folder::content_count() const {
  auto value = properties_.Get(tags::kContentCount);
  if (!value) return std::nullopt;
  auto count = value->AsInt32();
  return count ? std::optional<std::int32_t>(*count) : std::nullopt;
}

Result<ltp::TableContext> Folder::OpenTable(NodeType type) const {
  PST_ASSIGN_OR_RETURN(auto node, db_->OpenNode(WithType(id(), type)));
  PST_ASSIGN_OR_RETURN(auto table,
                       ltp::TableContext::Open(std::move(node), properties_.heap_id_layout()));
  table.set_code_page(properties_.code_page());
  return table;
}

Result<ltp::TableContext> Folder::OpenExpectedTable(NodeType type, bool expected,
                                                    const char* what) const {
  auto table = OpenTable(type);
  if (!table && expected && table.status().code() == ErrorCode::kNotFound) {
    return Status::Corrupt("folder " + std::to_string(id()) + ": it has " + what + " but its " +
                           what + " table cannot be found");
  }
  return table;
}

Result<ltp::TableContext> Folder::OpenHierarchyTable() const {
  auto subfolders = properties_.Get(tags::kSubfolders);
  const bool expected =
      subfolders && !subfolders->bytes().empty() && subfolders->bytes()[0] != std::byte{0};
  return OpenExpectedTable(NodeType::kHierarchyTable, expected, "subfolders");
}

Result<ltp::TableContext> Folder::OpenContentsTable() const {
  if (TypeOf(id()) != NodeType::kSearchFolder) {
    const auto count = content_count();
    return OpenExpectedTable(NodeType::kContentsTable, count && *count > 0, "messages");
  }
  // Search folders written by newer clients keep their results in a heap of a reserved kind.
  auto table = OpenTable(NodeType::kSearchContentsTable);
  if (!table && table.status().code() == ErrorCode::kCorrupt) {
    return Status::Unsupported("search folder " + std::to_string(id()) +
                               ": results kept in a form this reader does not read (" +
                               table.status().message() + ")");
  }
  return table;
}

Result<ltp::TableContext> Folder::OpenAssociatedContentsTable() const {
  return OpenTable(NodeType::kAssociatedContentsTable);
}

Result<std::vector<ndb::NodeId>> Folder::SubfolderIds() const {
  auto table = OpenHierarchyTable();
  if (!table) {
    if (table.status().code() == ErrorCode::kNotFound) return std::vector<ndb::NodeId>{};
    return table.status();
  }
  std::vector<ndb::NodeId> ids;
  ids.reserve(table->row_count());
  for (std::size_t i = 0; i < table->row_count(); ++i) {
    PST_ASSIGN_OR_RETURN(auto row, table->ReadRow(i));
    ids.push_back(row.row_id());
  }
  return ids;
}

Result<std::optional<ndb::NodeId>> Folder::FindSubfolder(std::string_view name) const {
  auto table = OpenHierarchyTable();
  if (!table) {
    if (table.status().code() == ErrorCode::kNotFound) return std::optional<ndb::NodeId>();
    return table.status();
  }
  for (std::size_t i = 0; i < table->row_count(); ++i) {
    PST_ASSIGN_OR_RETURN(auto row, table->ReadRow(i));
    auto value = table->CellById(row, tags::kDisplayNameId);
    if (!value) continue;
    auto text = value->AsUtf8();
    if (text && *text == name) return std::optional<ndb::NodeId>(row.row_id());
  }
  return std::optional<ndb::NodeId>();
}

}  // namespace pst::messaging
