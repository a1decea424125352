// Executable path from /proc/self/exe; paths are not limited to 260 bytes here.
#include <unistd.h>
#include <climits>

#include "platform/os/module_path.h"

namespace os {

std::string ExecutablePath() {
  char buffer[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
  if (n <= 0 || static_cast<size_t>(n) >= sizeof buffer) return {};
  return std::string(buffer, static_cast<size_t>(n));
}

std::string ExecutableDirectory() {
  std::string path = ExecutablePath();
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace os
