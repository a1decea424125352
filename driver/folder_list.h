// Folder ids of the archive and the folder list that maps them to names. The five standard folders
// have the fixed ids 0 to 4; every other mail folder receives the next free id from 5 upward.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "driver/console.h"

namespace driver {

class FolderIds {
 public:
  // Sets up the five default entries and the next free id 5.
  explicit FolderIds(Console& console);

  // The folder callback: chooses the folder's id, adds a line for a new id, and reports the id on
  // the console. After Decline() every folder receives -1 and is left out.
  void AssignFolderId(std::int32_t user_data, std::string_view folder_name,
                      std::uint8_t folder_type, std::int32_t message_count, std::int32_t& folder_id,
                      bool& include);

  // Every further folder is declined (the archive can no longer be written).
  void Decline() { declined_ = true; }

  // Puts the count line "#=<next free id>" in front of all other lines.
  void Finish();

  // Writes every line, each ended by CR LF, to a new file at path (an existing one is replaced).
  // Throws FileError.
  void Save(const std::string& path) const;

  const std::vector<std::string>& FolderList() const { return folder_list_; }
  std::int32_t NextFolderId() const { return next_folder_id_; }

 private:
  std::int32_t ChooseId(std::string_view folder_name, std::uint8_t folder_type);

  Console& console_;
  std::vector<std::string> folder_list_;
  std::int32_t next_folder_id_;
  bool declined_ = false;
};

}  // namespace driver
