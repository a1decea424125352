// AppendFile over a POSIX descriptor: appends with writev so that pieces are never copied into one
// buffer first; the lock is flock's.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#include <cerrno>

#include <array>

#include "platform/os/append_file.h"
#include "platform/os/file_lock.h"

namespace os {
namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

// Drops written bytes from the front of the pending vectors.
void Consume(iovec* vectors, std::size_t count, std::size_t& first, std::size_t written) {
  while (first < count && written >= vectors[first].iov_len) written -= vectors[first++].iov_len;
  if (first < count) {
    vectors[first].iov_base = static_cast<char*>(vectors[first].iov_base) + written;
    vectors[first].iov_len -= written;
  }
}

std::error_code WriteAll(int fd, iovec* vectors, std::size_t count) {
  std::size_t first = 0;
  while (first < count) {
    ssize_t written = writev(fd, vectors + first, static_cast<int>(count - first));
    if (written < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    if (written == 0) return std::make_error_code(std::errc::io_error);
    Consume(vectors, count, first, static_cast<std::size_t>(written));
  }
  return {};
}

}  // namespace

std::error_code AppendFile::Open(const std::string& path) {
  Close();
  fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  return fd_ < 0 ? LastError() : std::error_code{};
}

std::error_code AppendFile::TryLock() { return TryLockExclusive(fd_); }

std::error_code AppendFile::Empty() {
  struct stat info {};
  if (fstat(fd_, &info) != 0) return LastError();
  // An empty file is left alone: on ext4, cutting a file to nothing marks it to have all its
  // data flushed when it is closed (for programs that rewrite a file in place), which made the
  // close of a large archive wait for it.
  if (S_ISREG(info.st_mode) && info.st_size > 0 && ftruncate(fd_, 0) != 0) return LastError();
  return {};
}

std::error_code AppendFile::Append(std::span<const std::string_view> pieces) {
  if (pieces.size() > kMaxPieces) return std::make_error_code(std::errc::invalid_argument);
  if (fd_ < 0) return std::make_error_code(std::errc::bad_file_descriptor);
  std::array<iovec, kMaxPieces> vectors;
  std::size_t count = 0;
  for (std::string_view piece : pieces)
    if (!piece.empty()) vectors[count++] = {const_cast<char*>(piece.data()), piece.size()};
  return WriteAll(fd_, vectors.data(), count);
}

std::error_code AppendFile::Truncate(std::uint64_t length) {
  if (ftruncate(fd_, static_cast<off_t>(length)) != 0) return LastError();
  if (lseek(fd_, 0, SEEK_END) < 0) return LastError();
  return {};
}

std::error_code AppendFile::Close() {
  if (fd_ < 0) return {};
  int result = close(fd_);
  fd_ = -1;
  return result == 0 ? std::error_code{} : LastError();
}

}  // namespace os
