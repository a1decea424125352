// OutputFile over a POSIX file descriptor: appends with writev so that pieces are never copied into
// one buffer first, and resumes after short writes and interruptions.
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <array>

#include "driver/export_error.h"
#include "driver/output_file.h"
#include "platform/os/file_lock.h"

namespace driver {
namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

// Devices and pipes have no length to cut; a regular file is emptied.
std::error_code EmptyRegularFile(int fd) {
  struct stat info {};
  if (fstat(fd, &info) != 0) return LastError();
  if (S_ISREG(info.st_mode) && ftruncate(fd, 0) != 0) return LastError();
  return {};
}

class PosixOutputFile final : public OutputFile {
 public:
  static constexpr std::size_t kMaxPieces = 8;

  PosixOutputFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~PosixOutputFile() override { Close(); }

  std::error_code Append(std::initializer_list<std::string_view> pieces) override {
    if (pieces.size() > kMaxPieces) return std::make_error_code(std::errc::invalid_argument);
    std::array<iovec, kMaxPieces> vectors;
    std::size_t count = 0;
    for (std::string_view piece : pieces)
      if (!piece.empty()) vectors[count++] = {const_cast<char*>(piece.data()), piece.size()};
    return WriteAll(vectors.data(), count);
  }

  std::error_code Truncate(std::uint64_t length) override {
    if (ftruncate(fd_, static_cast<off_t>(length)) != 0) return LastError();
    if (lseek(fd_, 0, SEEK_END) < 0) return LastError();
    return {};
  }

  std::error_code Close() override {
    if (fd_ < 0) return {};
    int result = close(fd_);
    fd_ = -1;
    return result == 0 ? std::error_code{} : LastError();
  }

  const std::string& path() const override { return path_; }

 private:
  std::error_code WriteAll(iovec* vectors, std::size_t count) {
    if (fd_ < 0) return std::make_error_code(std::errc::bad_file_descriptor);
    std::size_t first = 0;
    while (first < count) {
      ssize_t written = writev(fd_, vectors + first, static_cast<int>(count - first));
      if (written < 0) {
        if (errno == EINTR) continue;
        return LastError();
      }
      if (written == 0) return std::make_error_code(std::errc::io_error);
      Consume(vectors, count, first, static_cast<std::size_t>(written));
    }
    return {};
  }

  // Drops written bytes from the front of the pending vectors.
  static void Consume(iovec* vectors, std::size_t count, std::size_t& first, std::size_t written) {
    while (first < count && written >= vectors[first].iov_len) written -= vectors[first++].iov_len;
    if (first < count) {
      vectors[first].iov_base = static_cast<char*>(vectors[first].iov_base) + written;
      vectors[first].iov_len -= written;
    }
  }

  int fd_;
  std::string path_;
};

}  // namespace

// The file is opened without truncating it and locked first: a file another run is writing is
// refused untouched, and only a file this run holds is emptied.
std::unique_ptr<OutputFile> CreateOutputFile(const std::string& path) {
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) throw FileError(CannotCreateFileText(path, LastError().message()));
  auto file = std::make_unique<PosixOutputFile>(fd, path);
  // A file system without locks (some network ones) is written unlocked, as before locks existed.
  if (os::TryLockExclusive(fd) == std::errc::resource_unavailable_try_again)
    throw FileError(
        CannotCreateFileText(path, "Another export is writing to it; it was left as it was."));
  if (std::error_code error = EmptyRegularFile(fd))
    throw FileError(CannotCreateFileText(path, error.message()));
  return file;
}

}  // namespace driver
