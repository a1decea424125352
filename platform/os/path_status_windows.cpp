// Path status from GetFileAttributesA: a missing file or folder on the way is nothing there.
#include <windows.h>

#include "platform/os/path_status.h"
#include "platform/os/system_message.h"

namespace os {

PathStatus StatusOfPath(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
      return {PathKind::kMissing, {}};
    }
    return {PathKind::kUnknown, SystemMessage(code)};
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return {PathKind::kDirectory, {}};
  if (attributes & FILE_ATTRIBUTE_DEVICE) return {PathKind::kOther, {}};
  return {PathKind::kRegular, {}};
}

}  // namespace os
