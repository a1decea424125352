// Executable path from GetModuleFileName, in a MAX_PATH buffer as the system gives it.
#include <windows.h>

#include "platform/os/module_path.h"

namespace os {

std::string ExecutablePath() {
  char buffer[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  if (n == 0 || n >= sizeof buffer) return {};
  return std::string(buffer, n);
}

std::string ExecutableDirectory() {
  const std::string path = ExecutablePath();
  const auto separator = path.find_last_of("\\/");
  if (separator == std::string::npos) return ".";
  // "C:\" keeps its separator: "C:" alone would name the drive's current directory.
  if (separator == 2 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, separator);
}

}  // namespace os
