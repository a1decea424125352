// The builder's folders and messages, and the completion of the file.
#include "tools/pstwriter/pst_builder.h"

#include <cstdio>
#include <string>

#include "tools/pstwriter/bag_encoding.h"
#include "tools/pstwriter/mapi_tags.h"
#include "tools/pstwriter/message_writer.h"
#include "tools/pstwriter/named_property_map.h"
#include "tools/pstwriter/ndb_writer.h"
#include "tools/pstwriter/subnode_allocator.h"
#include "tools/pstwriter/table_schemas.h"
#include "tools/pstwriter/table_writer.h"

namespace pstwriter {

struct PstBuilder::Folder {
  FolderId id = 0;
  FolderId parent = 0;
  PropertyBag props;
  std::vector<FolderId> children;
  std::uint32_t count = 0;
  std::uint32_t unread = 0;
  std::unique_ptr<SubnodeAllocator> contents_node;
  std::unique_ptr<TableWriter> contents;
};

namespace {

std::string Hex(std::uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%X", v);
  return buf;
}

}  // namespace

PstBuilder::PstBuilder(const std::string& path, StoreOptions options)
    : path_(path), options_(std::move(options)) {
  ndb_ = std::make_unique<NdbWriter>(path, options_.format, options_.crypt);
  messages_ = std::make_unique<MessageWriter>(ndb_->blocks(), options_.code_page);
  named_ = std::make_unique<NamedPropertyMap>();
  next_index_.fill(0x400);
  next_index_[kNidTypeSearchFolder] = 0x4000;
  next_index_[kNidTypeNormalMessage] = 0x10000;
  next_index_[kNidTypeAssocMessage] = 0x8000;

  auto root = std::make_unique<Folder>();
  root->id = kRootFolder;
  root->parent = kRootFolder;
  root->props.SetString(tags::kDisplayName, "");
  folders_[kRootFolder] = std::move(root);
  FolderAt(kRootFolder).contents_node = std::make_unique<SubnodeAllocator>(ndb_->blocks());
  FolderAt(kRootFolder).contents = std::make_unique<TableWriter>(
      *FolderAt(kRootFolder).contents_node,
      ForFile(SchemaColumns(TableKind::kContents), TraitsFor(options_.format).unicode));

  if (options_.offline_layout) {
    FolderId mailbox = AddFolder(kRootFolder, "Root - Mailbox", "");
    ipm_subtree_ = AddFolder(mailbox, "IPM_SUBTREE", "");
  } else {
    ipm_subtree_ = AddFolder(kRootFolder, options_.ipm_subtree_name, "");
  }
  if (options_.search_root) search_root_ = AddFolder(kRootFolder, "Search Root", "");
}

PstBuilder::~PstBuilder() = default;

PstBuilder::Folder& PstBuilder::FolderAt(FolderId id) {
  auto it = folders_.find(id);
  if (it == folders_.end()) throw WriteError("no folder with node id " + Hex(id));
  return *it->second;
}

std::uint32_t PstBuilder::NextIndex(std::uint8_t nid_type) {
  std::uint32_t index = next_index_[nid_type]++;
  if (index >= (1u << 27)) throw WriteError("out of node ids");
  return index;
}

FolderId PstBuilder::AddFolder(FolderId parent, const std::string& name,
                               const std::string& container_class, PropertyBag extra) {
  if (finished_) throw WriteError("the file is already finished");
  Folder& parent_folder = FolderAt(parent);
  auto folder = std::make_unique<Folder>();
  folder->id = MakeNid(kNidTypeNormalFolder, NextIndex(kNidTypeNormalFolder));
  folder->parent = parent;
  folder->props = std::move(extra);
  folder->props.SetString(tags::kDisplayName, name);
  if (!container_class.empty()) folder->props.SetString(tags::kContainerClass, container_class);
  folder->contents_node = std::make_unique<SubnodeAllocator>(ndb_->blocks());
  folder->contents = std::make_unique<TableWriter>(
      *folder->contents_node,
      ForFile(SchemaColumns(TableKind::kContents), TraitsFor(options_.format).unicode));
  FolderId id = folder->id;
  parent_folder.children.push_back(id);
  folders_[id] = std::move(folder);
  return id;
}

void PstBuilder::SetSpecialFolder(SpecialFolder which, FolderId folder) {
  FolderAt(folder);
  special_[which] = folder;
}

std::uint16_t PstBuilder::NamedPropertyId(const std::array<std::uint8_t, 16>& guid,
                                          std::uint32_t number) {
  return named_->IdFor(guid, number);
}

std::uint16_t PstBuilder::NamedPropertyId(const std::array<std::uint8_t, 16>& guid,
                                          const std::string& name) {
  return named_->IdFor(guid, name);
}

MessageId PstBuilder::AddMessage(FolderId folder_id, const Message& message) {
  if (finished_) throw WriteError("the file is already finished");
  Folder& folder = FolderAt(folder_id);
  MessageId nid = MakeNid(kNidTypeNormalMessage, NextIndex(kNidTypeNormalMessage));
  WrittenNode written = messages_->Write(message);
  ndb_->AddNode(nid, written.blocks, folder_id);
  TextEncoding encoding = messages_->EncodingFor(message.props);
  const std::vector<std::uint32_t> columns =
      ForFile(SchemaColumns(TableKind::kContents), encoding.unicode);
  std::vector<std::optional<LtpValue>> cells = CellsFor(columns, message.props, encoding);
  if (!message.attachments.empty()) MarkHasAttachments(columns, cells);
  folder.contents->AddRow(nid, std::move(cells));
  ++folder.count;
  const PropValue* flags = message.props.Find(tags::kMessageFlags);
  if (!flags || !(flags->fixed & tags::kMsgFlagRead)) ++folder.unread;
  return nid;
}

void PstBuilder::WriteTopLevelPc(std::uint32_t nid, std::uint32_t parent,
                                 const PropertyBag& props) {
  SubnodeAllocator node(ndb_->blocks());
  TextEncoding encoding{TraitsFor(options_.format).unicode, options_.code_page};
  BlockId data = WritePropertyContext(node, EncodeBag(props, encoding));
  ndb_->AddNode(nid, {data, node.Finish()}, parent);
}

void PstBuilder::WriteTopLevelTable(std::uint32_t nid, const std::vector<std::uint32_t>& columns,
                                    const std::vector<const PropertyBag*>& rows,
                                    const std::vector<std::uint32_t>& row_ids) {
  SubnodeAllocator node(ndb_->blocks());
  TextEncoding encoding{TraitsFor(options_.format).unicode, options_.code_page};
  TableWriter table(node, columns);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    table.AddRow(row_ids[i], CellsFor(columns, *rows[i], encoding));
  }
  BlockId data = table.Finish();
  ndb_->AddNode(nid, {data, node.Finish()}, 0);
}

void PstBuilder::WriteFolders() {
  const bool unicode = TraitsFor(options_.format).unicode;
  for (auto& [id, folder] : folders_) {
    folder->props.SetInt32(tags::kContentCount, std::int32_t(folder->count));
    folder->props.SetInt32(tags::kContentUnread, std::int32_t(folder->unread));
    folder->props.SetBool(tags::kSubfolders, !folder->children.empty());
  }
  const auto hierarchy_columns = ForFile(SchemaColumns(TableKind::kHierarchy), unicode);
  for (auto& [id, folder] : folders_) {
    std::uint32_t index = id >> 5;
    WriteTopLevelPc(id, folder->parent, folder->props);
    std::vector<const PropertyBag*> rows;
    for (FolderId child : folder->children) rows.push_back(&folders_.at(child)->props);
    WriteTopLevelTable(MakeNid(kNidTypeHierarchyTable, index), hierarchy_columns, rows,
                       folder->children);
    BlockId contents = folder->contents->Finish();
    ndb_->AddNode(MakeNid(kNidTypeContentsTable, index),
                  {contents, folder->contents_node->Finish()}, 0);
    folder->contents.reset();
    WriteTopLevelTable(MakeNid(kNidTypeAssocContentsTable, index),
                       ForFile(SchemaColumns(TableKind::kAssocContents), unicode), {}, {});
  }
}

void PstBuilder::Finish() {
  if (finished_) throw WriteError("the file is already finished");
  finished_ = true;
  WriteFolders();
  WriteStore();
  WriteInternalTables();
  ndb_->Finish(next_index_);
}

}  // namespace pstwriter
