// OutputFile over a C runtime descriptor in binary mode (no line-end translation): pieces are
// written one after another, cut back with _chsize_s.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>

#include "driver/export_error.h"
#include "driver/output_file.h"
#include "platform/os/file_lock.h"

namespace driver {
namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

class WindowsOutputFile final : public OutputFile {
 public:
  WindowsOutputFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~WindowsOutputFile() override { Close(); }

  std::error_code Append(std::initializer_list<std::string_view> pieces) override {
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

  std::error_code Truncate(std::uint64_t length) override {
    if (const errno_t error = _chsize_s(fd_, static_cast<long long>(length)))
      return {error, std::generic_category()};
    if (_lseeki64(fd_, 0, SEEK_END) < 0) return LastError();
    return {};
  }

  std::error_code Close() override {
    if (fd_ < 0) return {};
    const int result = _close(fd_);
    fd_ = -1;
    return result == 0 ? std::error_code{} : LastError();
  }

  const std::string& path() const override { return path_; }

 private:
  int fd_;
  std::string path_;
};

}  // namespace

// The file is opened without truncating it and locked first: a file another run is writing is
// refused untouched, and only a file this run holds is emptied.
std::unique_ptr<OutputFile> CreateOutputFile(const std::string& path) {
  const int fd = _open(path.c_str(), _O_RDWR | _O_CREAT | _O_BINARY | _O_NOINHERIT,
                       _S_IREAD | _S_IWRITE);
  if (fd < 0) throw FileError(CannotCreateFileText(path, LastError().message()));
  auto file = std::make_unique<WindowsOutputFile>(fd, path);
  if (os::TryLockExclusive(fd) == std::errc::resource_unavailable_try_again)
    throw FileError(
        CannotCreateFileText(path, "Another export is writing to it; it was left as it was."));
  if (std::error_code error = file->Truncate(0))
    throw FileError(CannotCreateFileText(path, error.message()));
  return file;
}

}  // namespace driver
