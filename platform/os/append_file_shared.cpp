// Ownership moves of AppendFile, the same on every system.
#include <utility>

#include "platform/os/append_file.h"

namespace os {

AppendFile::AppendFile(AppendFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

AppendFile& AppendFile::operator=(AppendFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

AppendFile::~AppendFile() { Close(); }

}  // namespace os
