// OutputFile over a POSIX file descriptor: appends with writev so that pieces are never copied into
// one buffer first, and resumes after short writes and interruptions.
#include <cerrno>
#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "driver/export_error.h"
#include "driver/output_file.h"

namespace driver {
namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

class PosixOutputFile final : public OutputFile {
 public:
  PosixOutputFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~PosixOutputFile() override { Close(); }

  std::error_code Append(std::initializer_list<std::string_view> pieces) override {
    std::vector<iovec> vectors;
    vectors.reserve(pieces.size());
    for (std::string_view piece : pieces)
      if (!piece.empty()) vectors.push_back({const_cast<char*>(piece.data()), piece.size()});
    return WriteAll(vectors);
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
  std::error_code WriteAll(std::vector<iovec>& vectors) {
    if (fd_ < 0) return std::make_error_code(std::errc::bad_file_descriptor);
    size_t first = 0;
    while (first < vectors.size()) {
      int count = static_cast<int>(std::min<size_t>(vectors.size() - first, IOV_MAX));
      ssize_t written = writev(fd_, &vectors[first], count);
      if (written < 0) {
        if (errno == EINTR) continue;
        return LastError();
      }
      if (written == 0) return std::make_error_code(std::errc::io_error);
      Consume(vectors, first, static_cast<size_t>(written));
    }
    return {};
  }

  // Drops written bytes from the front of the pending vectors.
  static void Consume(std::vector<iovec>& vectors, size_t& first, size_t written) {
    while (written > 0) {
      iovec& v = vectors[first];
      size_t step = std::min(written, v.iov_len);
      v.iov_base = static_cast<char*>(v.iov_base) + step;
      v.iov_len -= step;
      written -= step;
      if (v.iov_len == 0) ++first;
    }
    while (first < vectors.size() && vectors[first].iov_len == 0) ++first;
  }

  int fd_;
  std::string path_;
};

}  // namespace

std::unique_ptr<OutputFile> CreateOutputFile(const std::string& path) {
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) throw FileError(CannotCreateFileText(path, LastError().message()));
  return std::make_unique<PosixOutputFile>(fd, path);
}

}  // namespace driver
