// What a path names in the file system, asked before a file is opened: a regular file, a folder,
// something else, or nothing. Symbolic links are followed.
#pragma once

#include <string>

namespace os {

enum class PathKind {
  kRegular,    // a regular file
  kDirectory,  // a folder
  kOther,      // a device, pipe, socket or the like
  kMissing,    // nothing there, or a part of the path is not a folder
  kUnknown,    // the system could not tell (no right to search a folder, a link loop, an I/O error)
};

struct PathStatus {
  PathKind kind = PathKind::kMissing;
  std::string failure;  // with kUnknown: the system's reason, e.g. "Permission denied"

  // True when something is at the path, whatever it is.
  bool Exists() const {
    return kind == PathKind::kRegular || kind == PathKind::kDirectory || kind == PathKind::kOther;
  }
};

PathStatus StatusOfPath(const std::string& path);

}  // namespace os
