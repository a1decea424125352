// Builds a personal-folders file: a store with its IPM subtree, special folders, folders of any
// class nested to any depth, and messages with any properties, recipients and attachments.
//
//   PstBuilder b("out.pst", {.format = FileFormat::kUnicode});
//   FolderId inbox = b.AddFolder(b.ipm_subtree(), "Inbox");
//   b.SetSpecialFolder(SpecialFolder::kInbox, inbox);
//   b.AddMessage(inbox, message);   // written to the file at once
//   b.Finish();                     // B-trees, maps, header
//
// Anything the file cannot represent (a value over 4 GiB - 1, a file over its variant's size, text
// the ANSI file's code page cannot encode, more than 65,535 rows in an ANSI table) raises
// WriteError with a readable reason; the file is then incomplete and should be discarded.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/pst/ndb/block_encoding.h"
#include "tools/pstwriter/file_format.h"
#include "tools/pstwriter/message.h"
#include "tools/pstwriter/write_error.h"

namespace pstwriter {

using FolderId = std::uint32_t;   // the folder's node id
using MessageId = std::uint32_t;  // the message's node id

struct StoreOptions {
  FileFormat format = FileFormat::kUnicode;
  pst::ndb::CryptMethod crypt = pst::ndb::CryptMethod::kPermute;
  std::string display_name = "Personal Folders";
  std::string ipm_subtree_name = "Top of Personal Folders";
  // Code page of 8-bit text in ANSI files (messages may name their own in PR_MESSAGE_CODEPAGE).
  std::uint32_t code_page = 1252;
  // Stored as PR_PST_PASSWORD, the file format's CRC of the password's bytes.
  std::optional<std::string> password{};
  // Entry ids of the IPM subtree, outbox, sent items, deleted items and finder on the store.
  bool store_entry_ids = true;
  bool valid_folder_mask = true;
  // The layout of offline stores: the subtree is "IPM_SUBTREE" under "Root - Mailbox", and the
  // store keeps no entry ids (store_entry_ids is ignored).
  bool offline_layout = false;
  // A "Search Root" folder under the root, named by PR_FINDER_ENTRYID.
  bool search_root = true;
  std::array<std::uint8_t, 16> record_key = {0x50, 0x53, 0x54, 0x32, 0x58, 0x4D, 0x5A, 0x00,
                                             0x77, 0x72, 0x69, 0x74, 0x65, 0x72, 0x00, 0x01};
  // Set on the store object last, so they may replace what the builder computes (a wrong
  // valid-folder mask, an entry id naming no folder ...).
  PropertyBag extra_store_properties{};
};

enum class SpecialFolder { kInbox, kOutbox, kSentItems, kDeletedItems };

class NdbWriter;
class MessageWriter;
class NamedPropertyMap;

class PstBuilder {
 public:
  PstBuilder(const std::string& path, StoreOptions options = {});
  ~PstBuilder();
  PstBuilder(const PstBuilder&) = delete;
  PstBuilder& operator=(const PstBuilder&) = delete;

  static constexpr FolderId kRootFolder = 0x122;
  FolderId root_folder() const { return kRootFolder; }
  FolderId ipm_subtree() const { return ipm_subtree_; }

  // container_class empty: the folder has no PR_CONTAINER_CLASS.
  FolderId AddFolder(FolderId parent, const std::string& name,
                     const std::string& container_class = "IPF.Note", PropertyBag extra = {});
  // The inbox is found through the receive-folder table, the others through store entry ids.
  void SetSpecialFolder(SpecialFolder which, FolderId folder);
  // The property id (0x8000 and above) of a named property of the property set `guid`, by number
  // or by string name; the same name always gets the same id.
  std::uint16_t NamedPropertyId(const std::array<std::uint8_t, 16>& guid, std::uint32_t number);
  std::uint16_t NamedPropertyId(const std::array<std::uint8_t, 16>& guid, const std::string& name);
  // Writes the message's nodes at once; large attachment streams are copied block by block.
  MessageId AddMessage(FolderId folder, const Message& message);
  // Completes and closes the file. Nothing may be added afterwards.
  void Finish();

  const std::string& path() const { return path_; }

 private:
  struct Folder;
  Folder& FolderAt(FolderId id);
  std::uint32_t NextIndex(std::uint8_t nid_type);
  void WriteFolders();
  void WriteStore();
  void WriteInternalTables();
  void WriteTopLevelPc(std::uint32_t nid, std::uint32_t parent, const PropertyBag& props);
  void WriteTopLevelTable(std::uint32_t nid, const std::vector<std::uint32_t>& columns,
                          const std::vector<const PropertyBag*>& rows,
                          const std::vector<std::uint32_t>& row_ids);
  Bytes EntryId(FolderId folder) const;

  std::string path_;
  StoreOptions options_;
  std::unique_ptr<NdbWriter> ndb_;
  std::unique_ptr<MessageWriter> messages_;
  std::unique_ptr<NamedPropertyMap> named_;
  std::array<std::uint32_t, 32> next_index_{};
  std::map<FolderId, std::unique_ptr<Folder>> folders_;
  std::map<SpecialFolder, FolderId> special_;
  FolderId ipm_subtree_ = 0;
  FolderId search_root_ = 0;
  bool finished_ = false;
};

}  // namespace pstwriter
