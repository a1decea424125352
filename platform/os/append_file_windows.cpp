// AppendFile over a C runtime descriptor in binary mode (no line-end translation): pieces are
// written one after another, cut back with _chsize_s; the lock is LockFileEx's.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>

#include "platform/os/append_file.h"
#include "platform/os/file_lock.h"

namespace os {
namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

}  // namespace

std::error_code AppendFile::Open(const std::string& path) {
  Close();
  fd_ = _open(path.c_str(), _O_RDWR | _O_CREAT | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
  return fd_ < 0 ? LastError() : std::error_code{};
}

std::error_code AppendFile::TryLock() { return TryLockExclusive(fd_); }

std::error_code AppendFile::Empty() { return Truncate(0); }

std::error_code AppendFile::Append(std::span<const std::string_view> pieces) {
  if (pieces.size() > kMaxPieces) return std::make_error_code(std::errc::invalid_argument);
  if (fd_ < 0) return std::make_error_code(std::errc::bad_file_descriptor);
  for (std::string_view piece : pieces) {
    while (!piece.empty()) {
      const unsigned chunk = piece.size() > INT_MAX ? INT_MAX : static_cast<unsigned>(piece.size());
      const int written = _write(fd_, piece.data(), chunk);
      if (written < 0) return LastError();
      if (written == 0) return std::make_error_code(std::errc::io_error);
      piece.remove_prefix(static_cast<std::size_t>(written));
    }
  }
  return {};
}

std::error_code AppendFile::Truncate(std::uint64_t length) {
  if (const errno_t error = _chsize_s(fd_, static_cast<long long>(length)))
    return {error, std::generic_category()};
  if (_lseeki64(fd_, 0, SEEK_END) < 0) return LastError();
  return {};
}

std::error_code AppendFile::Close() {
  if (fd_ < 0) return {};
  const int result = _close(fd_);
  fd_ = -1;
  return result == 0 ? std::error_code{} : LastError();
}

}  // namespace os
