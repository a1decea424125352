// The store's own nodes: the message store, the name-to-id map, the template tables, the
// receive-folder table and the other internal nodes every file has.
#include <cstring>

#include "platform/pst/ndb/pst_crc.h"
#include "tools/pstwriter/data_tree_writer.h"
#include "tools/pstwriter/mapi_tags.h"
#include "tools/pstwriter/named_property_map.h"
#include "tools/pstwriter/ndb_writer.h"
#include "tools/pstwriter/pst_builder.h"
#include "tools/pstwriter/subnode_allocator.h"
#include "tools/pstwriter/table_schemas.h"

namespace pstwriter {
namespace {

constexpr NodeId kNidMessageStore = 0x21;
constexpr NodeId kNidNameToIdMap = 0x61;
constexpr NodeId kNidSearchManagementQueue = 0x1E1;
constexpr NodeId kNidSearchActivityList = 0x201;
constexpr NodeId kNidHierarchyTemplate = 0x60D;
constexpr NodeId kNidContentsTemplate = 0x60E;
constexpr NodeId kNidAssocContentsTemplate = 0x60F;
constexpr NodeId kNidSearchContentsTemplate = 0x610;
constexpr NodeId kNidReceiveFolderTable = 0x62B;
constexpr NodeId kNidOutgoingQueueTable = 0x64C;
constexpr NodeId kNidAttachmentTemplate = 0x671;
constexpr NodeId kNidRecipientTemplate = 0x692;

constexpr std::uint16_t kReceiveFolderNid = 0x6605;
constexpr std::uint16_t kPstLrNoRestrictions = 0x6633;

// PR_VALID_FOLDER_MASK bits.
constexpr std::int32_t kSubtreeValid = 0x01;
constexpr std::int32_t kInboxValid = 0x02;
constexpr std::int32_t kOutboxValid = 0x04;
constexpr std::int32_t kWastebasketValid = 0x08;
constexpr std::int32_t kSentmailValid = 0x10;
constexpr std::int32_t kFinderValid = 0x80;

}  // namespace

Bytes PstBuilder::EntryId(FolderId folder) const {
  Bytes id;
  ByteWriter w(id);
  w.U32(0);
  for (std::uint8_t b : options_.record_key) w.U8(b);
  w.U32(folder);
  return id;
}

void PstBuilder::WriteStore() {
  PropertyBag store;
  Bytes key(16);
  std::memcpy(key.data(), options_.record_key.data(), 16);
  store.SetBinary(tags::kRecordKey, key);
  store.SetString(tags::kDisplayName, options_.display_name);
  store.SetBool(kPstLrNoRestrictions, true);
  std::int32_t mask = 0;
  if (special_.count(SpecialFolder::kInbox)) mask |= kInboxValid;
  if (options_.store_entry_ids && !options_.offline_layout) {
    store.SetBinary(tags::kIpmSubtreeEntryId, EntryId(ipm_subtree_));
    mask |= kSubtreeValid;
    const std::pair<SpecialFolder, std::pair<std::uint16_t, std::int32_t>> kIds[] = {
        {SpecialFolder::kOutbox, {tags::kIpmOutboxEntryId, kOutboxValid}},
        {SpecialFolder::kDeletedItems, {tags::kIpmWastebasketEntryId, kWastebasketValid}},
        {SpecialFolder::kSentItems, {tags::kIpmSentmailEntryId, kSentmailValid}},
    };
    for (const auto& [which, prop] : kIds) {
      auto it = special_.find(which);
      if (it == special_.end()) continue;
      store.SetBinary(prop.first, EntryId(it->second));
      mask |= prop.second;
    }
    if (search_root_) {
      store.SetBinary(tags::kFinderEntryId, EntryId(search_root_));
      mask |= kFinderValid;
    }
  }
  if (options_.valid_folder_mask) store.SetInt32(tags::kValidFolderMask, mask);
  if (options_.password) {
    auto bytes = AsBytes(*options_.password);
    store.SetInt32(tags::kPstPassword, std::int32_t(pst::util::ComputeCrc(0, bytes)));
  }
  for (const auto& [id, value] : options_.extra_store_properties.values()) {
    store.Set(id, value);
  }
  WriteTopLevelPc(kNidMessageStore, 0, store);

  WriteTopLevelPc(kNidNameToIdMap, 0, named_->ToProperties());
}

void PstBuilder::WriteInternalTables() {
  const bool unicode = TraitsFor(options_.format).unicode;
  const std::pair<NodeId, TableKind> kTemplates[] = {
      {kNidHierarchyTemplate, TableKind::kHierarchy},
      {kNidContentsTemplate, TableKind::kContents},
      {kNidAssocContentsTemplate, TableKind::kAssocContents},
      {kNidSearchContentsTemplate, TableKind::kSearchContents},
      {kNidOutgoingQueueTable, TableKind::kOutgoingQueue},
      {kNidAttachmentTemplate, TableKind::kAttachments},
      {kNidRecipientTemplate, TableKind::kRecipients},
  };
  for (const auto& [nid, kind] : kTemplates) {
    WriteTopLevelTable(nid, ForFile(SchemaColumns(kind), unicode), {}, {});
  }

  // The receive-folder table maps message classes to the folder that receives them.
  std::vector<PropertyBag> rows;
  auto inbox = special_.find(SpecialFolder::kInbox);
  if (inbox != special_.end()) {
    for (const char* message_class : {"", "IPM", "REPORT.IPM"}) {
      PropertyBag row;
      row.SetString(tags::kMessageClass, message_class);
      row.SetInt32(kReceiveFolderNid, std::int32_t(inbox->second));
      rows.push_back(std::move(row));
    }
  }
  std::vector<const PropertyBag*> row_ptrs;
  std::vector<std::uint32_t> row_ids;
  for (const PropertyBag& r : rows) {
    row_ptrs.push_back(&r);
    row_ids.push_back(std::uint32_t(row_ids.size() + 1));
  }
  WriteTopLevelTable(kNidReceiveFolderTable,
                     ForFile(SchemaColumns(TableKind::kReceiveFolders), unicode), row_ptrs,
                     row_ids);

  for (NodeId nid : {kNidSearchManagementQueue, kNidSearchActivityList}) {
    ndb_->AddNode(nid, {WriteDataTree(ndb_->blocks(), {}), 0}, 0);
  }
}

}  // namespace pstwriter
