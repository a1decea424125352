// Which file a path names, as the file system identifies it: two paths name the same file when
// their identities are equal (hard links and different spellings of one path included).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace os {

struct FileIdentity {
  std::uint64_t volume = 0;  // the device (Linux) or the volume's serial number (Windows)
  std::uint64_t file = 0;    // the inode (Linux) or the file index on the volume (Windows)
  bool operator==(const FileIdentity&) const = default;
};

// The identity of the existing file at path (links followed); nullopt when there is none.
std::optional<FileIdentity> IdentifyFile(const std::string& path);

}  // namespace os
