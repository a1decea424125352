// The message store: the store object (node 0x21) with its record key, special-folder entry ids
// and password CRC; the receive-folder table; entry ids; and the way to folders and messages.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/pst/messaging/entry_id.h"
#include "platform/pst/messaging/folder.h"
#include "platform/pst/messaging/message.h"
#include "platform/pst/messaging/named_property_map.h"
#include "platform/pst/messaging/reusable_messages.h"

namespace pst::messaging {

// Folders the store names by entry id, with the PR_VALID_FOLDER_MASK bit of each.
enum class SpecialFolder : std::uint32_t {
  kIpmSubtree = 0x01,   // FOLDER_IPM_SUBTREE_VALID
  kOutbox = 0x04,       // FOLDER_IPM_OUTBOX_VALID
  kWastebasket = 0x08,  // FOLDER_IPM_WASTEBASKET_VALID
  kSentMail = 0x10,     // FOLDER_IPM_SENTMAIL_VALID
  kViews = 0x20,        // FOLDER_VIEWS_VALID
  kCommonViews = 0x40,  // FOLDER_COMMON_VIEWS_VALID
  kFinder = 0x80,       // FOLDER_FINDER_VALID
};
inline constexpr std::uint32_t kInboxValid = 0x02;  // FOLDER_IPM_INBOX_VALID

// One row of the receive-folder table: a message class ("" for the default) and its folder.
struct ReceiveFolder {
  std::string message_class;  // UTF-8
  ndb::NodeId folder = 0;
};

class MessageStore {
 public:
  static Result<std::unique_ptr<MessageStore>> Open(std::unique_ptr<ndb::NodeDatabase> db);
  // `trace` receives one line per integrity finding of the file (see IntegrityLog).
  static Result<std::unique_ptr<MessageStore>> OpenFile(const std::string& path,
                                                        ndb::TraceSink trace = {});

  MessageStore(const MessageStore&) = delete;
  MessageStore& operator=(const MessageStore&) = delete;

  const ndb::NodeDatabase& database() const { return *db_; }
  const ltp::PropertyContext& properties() const { return properties_; }
  // PR_RECORD_KEY: the provider UID inside every entry id of this store.
  const ltp::Guid& record_key() const { return record_key_; }
  std::string display_name() const;
  // Code page of the store's 8-bit strings (its PR_MESSAGE_CODEPAGE, PR_INTERNET_CPID or
  // PR_CODE_PAGE_ID, else 1252); messages fall back to it.
  std::uint32_t code_page() const { return properties_.code_page(); }
  bool offline_store() const { return db_->header().offline_store; }

  // PR_PST_PASSWORD as stored; nullopt when absent.
  std::optional<std::uint32_t> password_crc() const;
  // Whether a password guards the store: a stored CRC other than 0. Offline stores keep
  // 0xFFFFFFFF there without any password being set; that does not count.
  bool password_protected() const;
  // Whether `password` (its 8-bit bytes) matches; always true for an unprotected store.
  bool CheckPassword(std::string_view password) const;

  // The node a special-folder entry id of the store object names; nullopt when the store has no
  // such entry id or it names another store.
  std::optional<ndb::NodeId> SpecialFolderId(SpecialFolder which) const;
  // PR_VALID_FOLDER_MASK as stored.
  std::optional<std::uint32_t> stored_valid_folder_mask() const;

  // The receive-folder table's rows; empty when the store keeps none.
  Result<std::vector<ReceiveFolder>> ReceiveFolders() const;
  // The folder that receives `message_class`: the row of the longest class that is a prefix of it
  // at a "." boundary (case-insensitive), else the default row ""; nullopt when none applies.
  Result<std::optional<ndb::NodeId>> ReceiveFolderFor(std::string_view message_class) const;

  // For offline stores: the "IPM_SUBTREE" folder below the root's "Root - Mailbox".
  Result<std::optional<ndb::NodeId>> FindOfflineIpmSubtree() const;
  // The IPM subtree: the store's entry id, or for an offline store without one the folder above.
  Result<std::optional<ndb::NodeId>> IpmSubtreeId() const;
  // PR_VALID_FOLDER_MASK as it should be: the bit of each special folder (the IPM subtree as
  // IpmSubtreeId finds it, the inbox as the receive folder of "IPM") whose node opens as a folder.
  std::uint32_t ComputeValidFolderMask() const;

  EntryId MakeEntryId(ndb::NodeId node) const;
  // The node an entry id names; kNotFound when it is not an entry id of this store or the node
  // does not exist.
  Result<ndb::NodeId> ResolveEntryId(std::span<const std::byte> entry_id) const;

  Result<Folder> OpenFolder(ndb::NodeId nid) const;
  Result<Folder> OpenRootFolder() const { return OpenFolder(ndb::kNidRootFolder); }
  // A message kept by KeepForReuse is handed out instead of being read again when that gives
  // the same message and the same integrity findings (see ReusableMessages).
  Result<Message> OpenMessage(ndb::NodeId nid) const;
  // Keeps a message opened for one value (a table column its row lacks) for the next
  // OpenMessage of it, when opening it noted nothing: `log_position` is the integrity log's
  // position noted before the open.
  void KeepForReuse(Message message, std::uint64_t log_position) const;
  // The name-to-id map, loaded on first use.
  Result<const NamedPropertyMap*> named_properties() const;

 private:
  MessageStore(std::unique_ptr<ndb::NodeDatabase> db, ltp::PropertyContext properties)
      : db_(std::move(db)), properties_(std::move(properties)) {}

  std::unique_ptr<ndb::NodeDatabase> db_;
  ltp::PropertyContext properties_;
  ltp::Guid record_key_{};
  // Loaded by the first reader that asks (tools and tests; the mail library never asks for it).
  mutable std::mutex named_mu_;  // guards named_
  mutable std::unique_ptr<NamedPropertyMap> named_;
  mutable ReusableMessages reusable_;  // guarded by its own mutex
};

}  // namespace pst::messaging
