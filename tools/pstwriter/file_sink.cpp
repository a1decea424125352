// Buffered positioned writes to the output file.
#include "tools/pstwriter/file_sink.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/pstwriter/write_error.h"

namespace pstwriter {
namespace {

constexpr std::size_t kBufferLimit = 1 << 20;

}  // namespace

FileSink::FileSink(const std::string& path) : path_(path) {
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd_ < 0) throw WriteError("cannot create " + path + ": " + std::strerror(errno));
}

FileSink::~FileSink() {
  if (fd_ >= 0) ::close(fd_);
}

void FileSink::WriteAt(std::uint64_t offset, std::span<const std::byte> data) {
  if (!buffer_.empty() && offset != buffer_offset_ + buffer_.size()) Flush();
  if (buffer_.empty()) buffer_offset_ = offset;
  buffer_.insert(buffer_.end(), data.begin(), data.end());
  if (buffer_.size() >= kBufferLimit) Flush();
}

void FileSink::Flush() {
  if (buffer_.empty()) return;
  Raw(buffer_offset_, buffer_);
  buffer_.clear();
}

void FileSink::Raw(std::uint64_t offset, std::span<const std::byte> data) {
  while (!data.empty()) {
    ssize_t n = ::pwrite(fd_, data.data(), data.size(), off_t(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw WriteError("cannot write " + path_ + ": " + std::strerror(errno));
    data = data.subspan(std::size_t(n));
    offset += std::uint64_t(n);
  }
}

void FileSink::Close(std::uint64_t length) {
  Flush();
  int truncated = ::ftruncate(fd_, off_t(length));
  int closed = ::close(fd_);
  fd_ = -1;
  if (truncated != 0 || closed != 0) {
    throw WriteError("cannot finish " + path_ + ": " + std::strerror(errno));
  }
}

}  // namespace pstwriter
