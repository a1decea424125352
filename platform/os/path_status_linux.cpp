// Path status from stat: the file type bits, ENOENT and ENOTDIR as nothing there.
#include "platform/os/path_status.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace os {

PathStatus StatusOfPath(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return {PathKind::kMissing, {}};
    return {PathKind::kUnknown, std::strerror(errno)};
  }
  if (S_ISREG(info.st_mode)) return {PathKind::kRegular, {}};
  if (S_ISDIR(info.st_mode)) return {PathKind::kDirectory, {}};
  return {PathKind::kOther, {}};
}

}  // namespace os
