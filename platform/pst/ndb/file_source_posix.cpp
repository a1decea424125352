// File sources read with pread.
#include "platform/pst/ndb/file_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "platform/pst/util/hex.h"

namespace pst::ndb {
namespace {

class PreadSource final : public FileSource {
 public:
  PreadSource(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
  ~PreadSource() override { ::close(fd_); }
  PreadSource(const PreadSource&) = delete;
  PreadSource& operator=(const PreadSource&) = delete;

  std::uint64_t size() const override { return size_; }

  Status ReadExact(std::uint64_t offset, std::span<std::byte> out) const override {
    PST_RETURN_IF_ERROR(CheckRange(offset, out.size()));
    std::size_t done = 0;
    while (done < out.size()) {
      ssize_t n =
          ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0)
        return Status::Io("read failed at offset " + util::Hex(offset) + ": " +
                          std::strerror(errno));
      if (n == 0) return Status::Corrupt("file ended early at offset " + util::Hex(offset + done));
      done += static_cast<std::size_t>(n);
    }
    return Status::Ok();
  }

 private:
  int fd_;
  std::uint64_t size_;
};

}  // namespace

Result<std::unique_ptr<FileSource>> FileSource::OpenFile(const std::string& path) {
  // Opened without waiting: a FIFO would otherwise block the open until a writer comes.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return Status::Io("cannot open " + path + ": " + std::strerror(errno));
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return Status::Io(path + " is not a regular file");
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return Status::Io("cannot read " + path + ": " + std::strerror(errno));
  }
  return std::unique_ptr<FileSource>(
      std::make_unique<PreadSource>(fd, static_cast<std::uint64_t>(st.st_size)));
}

}  // namespace pst::ndb
