// Folder id assignment and the folder-list file.
#include "driver/folder_list.h"

#include "driver/export_error.h"
#include "driver/output_file.h"
#include "libs/import_session/import_pst.h"
#include "platform/os/text_compare.h"

namespace driver {
namespace {

constexpr std::int32_t kInboxId = 0;
constexpr std::int32_t kSentItemsId = 1;
constexpr std::int32_t kDraftsId = 2;
constexpr std::int32_t kTrashId = 3;
constexpr std::int32_t kJunkId = 4;
constexpr std::int32_t kFirstFreeId = 5;
// The key of a folder line is its id plus this.
constexpr std::int32_t kFolderLineKeyBase = 10;

std::string FolderLine(std::int32_t id, std::string_view name) {
  return std::to_string(id + kFolderLineKeyBase) + "=" + std::to_string(id) + "," +
         OneLineText(name);
}

}  // namespace

FolderIds::FolderIds(Console& console)
    : console_(console),
      folder_list_{FolderLine(kInboxId, "INBOX"), FolderLine(kSentItemsId, "Sent Items"),
                   FolderLine(kDraftsId, "Drafts"), FolderLine(kTrashId, "Trash"),
                   FolderLine(kJunkId, "Junk E-mail")},
      next_folder_id_(kFirstFreeId) {}

void FolderIds::AssignFolderId(std::int32_t /*user_data*/, std::string_view folder_name,
                               std::uint8_t folder_type, std::int32_t /*message_count*/,
                               std::int32_t& folder_id, bool& include) {
  if (declined_) {
    folder_id = -1;
    include = false;
    return;
  }
  include = true;
  folder_id = ChooseId(folder_name, folder_type);
  console_.Line("Assigning ID " + std::to_string(folder_id) + " to folder \"" +
                OneLineText(folder_name) + "\"");
}

std::int32_t FolderIds::ChooseId(std::string_view folder_name, std::uint8_t folder_type) {
  switch (folder_type) {
    case import_session::kFolderTypeInbox:
      return kInboxId;
    case import_session::kFolderTypeDeletedItems:
      return kTrashId;
    case import_session::kFolderTypeSentItems:
      return kSentItemsId;
    default:
      break;
  }
  // Only A-Z fold here: these names are the server's own, not the user's language.
  if (os::EqualsIgnoreAsciiCase(folder_name, "Junk E-Mail")) return kJunkId;
  if (os::EqualsIgnoreAsciiCase(folder_name, "Drafts")) return kDraftsId;
  std::int32_t id = next_folder_id_++;
  folder_list_.push_back(FolderLine(id, folder_name));
  return id;
}

void FolderIds::Finish() {
  folder_list_.insert(folder_list_.begin(), "#=" + std::to_string(next_folder_id_));
}

void FolderIds::Save(const std::string& path) const {
  std::string text;
  for (const std::string& line : folder_list_) {
    text.append(line);
    text.append("\r\n");
  }
  std::unique_ptr<OutputFile> file = CreateOutputFile(path);
  std::error_code error = file->Append({text});
  std::error_code close_error = file->Close();
  if (!error) error = close_error;
  if (error) throw FileError(CannotWriteFileText(path, error.message()));
}

}  // namespace driver
