// Following a path component by component with lstat and readlink.
#include "platform/os/path_resolution.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include <deque>
#include <vector>

namespace os {
namespace {

constexpr int kMaxLinks = 40;

void AppendComponents(const std::string& path, std::deque<std::string>& pending, bool front) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    if (slash > start) parts.emplace_back(path, start, slash - start);
    start = slash + 1;
  }
  if (front) {
    pending.insert(pending.begin(), parts.begin(), parts.end());
  } else {
    pending.insert(pending.end(), parts.begin(), parts.end());
  }
}

std::string Join(const std::vector<std::string>& components) {
  if (components.empty()) return "/";
  std::string path;
  for (const std::string& component : components) path += "/" + component;
  return path;
}

enum class Entry { kMissing, kLink, kOther };

// What path names, and the target when it is a symbolic link.
Entry Look(const std::string& path, std::string& target) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return Entry::kMissing;
  if (!S_ISLNK(info.st_mode)) return Entry::kOther;
  std::vector<char> buffer(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1);
  for (;;) {
    ssize_t length = readlink(path.c_str(), buffer.data(), buffer.size());
    if (length < 0) return Entry::kOther;
    if (static_cast<std::size_t>(length) < buffer.size()) {
      target.assign(buffer.data(), static_cast<std::size_t>(length));
      return Entry::kLink;
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::string CurrentDirectory() {
  std::vector<char> buffer(256);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return "/";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

}  // namespace

std::string FinalTarget(const std::string& path) {
  std::deque<std::string> pending;
  if (path.empty() || path.front() != '/') AppendComponents(CurrentDirectory(), pending, false);
  AppendComponents(path, pending, false);
  std::vector<std::string> resolved;
  int links = 0;
  while (!pending.empty()) {
    std::string component = std::move(pending.front());
    pending.pop_front();
    if (component == ".") continue;
    if (component == "..") {
      if (!resolved.empty()) resolved.pop_back();
      continue;
    }
    resolved.push_back(component);
    std::string target;
    const Entry entry = Look(Join(resolved), target);
    if (entry == Entry::kMissing) {
      // Nothing below a missing folder can be reached; the rest stays as written.
      resolved.insert(resolved.end(), pending.begin(), pending.end());
      break;
    }
    if (entry != Entry::kLink || links >= kMaxLinks) continue;
    ++links;
    resolved.pop_back();
    if (!target.empty() && target.front() == '/') resolved.clear();
    AppendComponents(target, pending, true);
  }
  return Join(resolved);
}

bool SamePathSpelling(const std::string& a, const std::string& b) { return a == b; }

}  // namespace os
