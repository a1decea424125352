// The message store object, its receive-folder table and entry ids.
#include "platform/pst/messaging/message_store.h"

#include <algorithm>

#include "platform/pst/ltp/codepage_text.h"
#include "platform/pst/messaging/node_ids.h"
#include "platform/pst/messaging/property_tags.h"
#include "platform/pst/ndb/pst_crc.h"

namespace pst::messaging {

namespace {

constexpr char kRootMailboxName[] = "Root - Mailbox";
constexpr char kIpmSubtreeName[] = "IPM_SUBTREE";
constexpr char kIpmMessageClass[] = "IPM";
constexpr std::uint32_t kOfflineNoPassword = 0xFFFFFFFF;  // PR_PST_PASSWORD of offline stores

std::optional<std::uint32_t> LongProperty(const ltp::PropertyContext& pc, ltp::PropTag tag) {
  auto value = pc.Get(tag);
  if (!value) return std::nullopt;
  auto number = value->AsInt32();
  return number ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*number)) : std::nullopt;
}

std::uint32_t StoreCodePage(const ltp::PropertyContext& pc) {
  for (auto tag : {tags::kMessageCodePage, tags::kInternetCodePage, tags::kCodePageId}) {
    auto cp = LongProperty(pc, tag);
    if (cp && *cp != 0 && *cp < 0x10000) return *cp;
  }
  return ltp::kDefaultCodePage;
}

ltp::PropTag EntryIdTag(SpecialFolder which) {
  switch (which) {
    case SpecialFolder::kIpmSubtree:
      return tags::kIpmSubtreeEntryId;
    case SpecialFolder::kOutbox:
      return tags::kIpmOutboxEntryId;
    case SpecialFolder::kWastebasket:
      return tags::kIpmWastebasketEntryId;
    case SpecialFolder::kSentMail:
      return tags::kIpmSentMailEntryId;
    case SpecialFolder::kViews:
      return tags::kViewsEntryId;
    case SpecialFolder::kCommonViews:
      return tags::kCommonViewsEntryId;
    case SpecialFolder::kFinder:
      return tags::kFinderEntryId;
  }
  return tags::kIpmSubtreeEntryId;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether `prefix` is `message_class` or a prefix of it ending at a "." (case-insensitive).
bool ClassPrefix(std::string_view prefix, std::string_view message_class) {
  if (prefix.empty()) return true;
  if (prefix.size() > message_class.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (AsciiLower(prefix[i]) != AsciiLower(message_class[i])) return false;
  }
  return prefix.size() == message_class.size() || message_class[prefix.size()] == '.';
}

}  // namespace

Result<std::unique_ptr<MessageStore>> MessageStore::OpenFile(const std::string& path,
                                                             ndb::TraceSink trace) {
  PST_ASSIGN_OR_RETURN(auto db, ndb::NodeDatabase::Open(path, {.trace = std::move(trace)}));
  return Open(std::move(db));
}

Result<std::unique_ptr<MessageStore>> MessageStore::Open(std::unique_ptr<ndb::NodeDatabase> db) {
  if (!db) return Status::Corrupt("message store: no node database");
  auto node = db->OpenNode(ndb::kNidMessageStore);
  if (!node)
    return Status(node.status().code(), "message store object: " + node.status().message());
  auto pc =
      ltp::PropertyContext::Open(std::move(*node), ltp::HeapIdLayoutFor(db->header().variant));
  if (!pc) return Status(pc.status().code(), "message store object: " + pc.status().message());
  pc->set_code_page(StoreCodePage(*pc));
  std::unique_ptr<MessageStore> store(new MessageStore(std::move(db), std::move(*pc)));
  auto key = store->properties_.Get(tags::kRecordKey);
  if (key && key->bytes().size() == store->record_key_.size()) {
    std::copy(key->bytes().begin(), key->bytes().end(), store->record_key_.begin());
  }
  return store;
}

std::string MessageStore::display_name() const {
  return StringProperty(properties_, tags::kDisplayNameId);
}

std::optional<std::uint32_t> MessageStore::password_crc() const {
  return LongProperty(properties_, tags::kPstPassword);
}

bool MessageStore::password_protected() const {
  const auto stored = password_crc();
  if (!stored || *stored == 0) return false;
  return !(offline_store() && *stored == kOfflineNoPassword);
}

bool MessageStore::CheckPassword(std::string_view password) const {
  if (!password_protected()) return true;
  const auto stored = password_crc();
  const auto* bytes = reinterpret_cast<const std::byte*>(password.data());
  return util::ComputeCrc(0, {bytes, password.size()}) == *stored;
}

std::optional<ndb::NodeId> MessageStore::SpecialFolderId(SpecialFolder which) const {
  auto value = properties_.Get(EntryIdTag(which));
  if (!value) return std::nullopt;
  auto id = EntryId::Decode(value->bytes());
  if (!id || id->provider != record_key_) return std::nullopt;
  return id->node;
}

std::optional<std::uint32_t> MessageStore::stored_valid_folder_mask() const {
  return LongProperty(properties_, tags::kValidFolderMask);
}

Result<std::vector<ReceiveFolder>> MessageStore::ReceiveFolders() const {
  std::vector<ReceiveFolder> folders;
  auto node = db_->OpenNode(kNidReceiveFolderTable);
  if (!node) {
    if (node.status().code() == ErrorCode::kNotFound) return folders;
    return node.status();
  }
  PST_ASSIGN_OR_RETURN(auto table,
                       ltp::TableContext::Open(std::move(*node), properties_.heap_id_layout()));
  table.set_code_page(code_page());
  for (std::size_t i = 0; i < table.row_count(); ++i) {
    PST_ASSIGN_OR_RETURN(auto row, table.ReadRow(i));
    auto folder = table.CellById(row, tags::kReceiveFolderNodeId);
    if (!folder) continue;
    auto nid = folder->AsInt32();
    if (!nid) continue;
    ReceiveFolder entry;
    entry.folder = static_cast<ndb::NodeId>(*nid);
    if (auto cls = table.CellById(row, tags::kMessageClassId)) {
      if (auto text = cls->AsUtf8()) entry.message_class = *text;
    }
    folders.push_back(std::move(entry));
  }
  return folders;
}

Result<std::optional<ndb::NodeId>> MessageStore::ReceiveFolderFor(
    std::string_view message_class) const {
  PST_ASSIGN_OR_RETURN(auto folders, ReceiveFolders());
  const ReceiveFolder* best = nullptr;
  for (const auto& f : folders) {
    if (!ClassPrefix(f.message_class, message_class)) continue;
    if (!best || f.message_class.size() > best->message_class.size()) best = &f;
  }
  return best ? std::optional<ndb::NodeId>(best->folder) : std::nullopt;
}

Result<std::optional<ndb::NodeId>> MessageStore::FindOfflineIpmSubtree() const {
  PST_ASSIGN_OR_RETURN(auto root, OpenRootFolder());
  auto mailbox = root.FindSubfolder(kRootMailboxName);
  if (!mailbox || !mailbox->has_value()) return mailbox;
  PST_ASSIGN_OR_RETURN(auto folder, OpenFolder(**mailbox));
  return folder.FindSubfolder(kIpmSubtreeName);
}

Result<std::optional<ndb::NodeId>> MessageStore::IpmSubtreeId() const {
  if (auto id = SpecialFolderId(SpecialFolder::kIpmSubtree)) return std::optional<ndb::NodeId>(*id);
  if (!offline_store()) return std::optional<ndb::NodeId>();
  return FindOfflineIpmSubtree();
}

std::uint32_t MessageStore::ComputeValidFolderMask() const {
  auto opens = [this](std::optional<ndb::NodeId> nid) { return nid && OpenFolder(*nid).ok(); };
  std::uint32_t mask = 0;
  if (auto subtree = IpmSubtreeId(); subtree && opens(*subtree)) {
    mask |= static_cast<std::uint32_t>(SpecialFolder::kIpmSubtree);
  }
  if (auto inbox = ReceiveFolderFor(kIpmMessageClass); inbox && opens(*inbox)) mask |= kInboxValid;
  for (auto which : {SpecialFolder::kOutbox, SpecialFolder::kWastebasket, SpecialFolder::kSentMail,
                     SpecialFolder::kViews, SpecialFolder::kCommonViews, SpecialFolder::kFinder}) {
    if (opens(SpecialFolderId(which))) mask |= static_cast<std::uint32_t>(which);
  }
  return mask;
}

EntryId MessageStore::MakeEntryId(ndb::NodeId node) const {
  EntryId id;
  id.provider = record_key_;
  id.node = node;
  return id;
}

Result<ndb::NodeId> MessageStore::ResolveEntryId(std::span<const std::byte> entry_id) const {
  PST_ASSIGN_OR_RETURN(auto id, EntryId::Decode(entry_id));
  if (id.provider != record_key_) return Status::NotFound("entry id of another store");
  PST_RETURN_IF_ERROR(db_->FindNode(id.node));
  return id.node;
}

Result<Folder> MessageStore::OpenFolder(ndb::NodeId nid) const {
  return Folder::Open(*db_, nid, code_page());
}

Result<Message> MessageStore::OpenMessage(ndb::NodeId nid) const {
  const NodeType type = TypeOf(nid);
  if (type != NodeType::kNormalMessage && type != NodeType::kAssociatedMessage) {
    return Status::NotFound("node " + std::to_string(nid) + " is not a message");
  }
  if (auto kept = reusable_.Take(nid, db_->log().position())) return std::move(*kept);
  PST_ASSIGN_OR_RETURN(auto node, db_->OpenNode(nid));
  return Message::Open(std::move(node), code_page(), 0, properties_.heap_id_layout());
}

void MessageStore::KeepForReuse(Message message, std::uint64_t log_position) const {
  if (db_->log().position() == log_position) reusable_.Keep(std::move(message), log_position);
}

Result<const NamedPropertyMap*> MessageStore::named_properties() const {
  const std::lock_guard lock(named_mu_);
  if (!named_) {
    PST_ASSIGN_OR_RETURN(auto map, NamedPropertyMap::Load(*db_));
    named_ = std::make_unique<NamedPropertyMap>(std::move(map));
  }
  return named_.get();
}

}  // namespace pst::messaging
