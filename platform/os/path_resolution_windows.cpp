// The full path of a file with GetFullPathName: "." and ".." resolved against the current
// directory of the path's drive. Links and junctions are not followed.
#include <windows.h>

#include <string>
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

// Upper case character by character, as the file system compares names.
bool SamePathSpelling(const std::string& a, const std::string& b) {
  auto upper = [](const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           wide.data(), static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return wide;
  };
  return upper(a) == upper(b);
}

}  // namespace os
