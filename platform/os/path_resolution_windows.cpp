// The full path of a file with GetFullPathName: "." and ".." resolved against the current
// directory of the path's drive. Links and junctions are not followed.
#include <windows.h>

#include <vector>

#include "platform/os/path_resolution.h"

namespace os {

std::string FinalTarget(const std::string& path) {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return path;
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(length + 1);
  }
}

}  // namespace os
