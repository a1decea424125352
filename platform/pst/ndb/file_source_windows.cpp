// File sources read with ReadFile at explicit offsets (an OVERLAPPED position on a synchronous
// handle), so that reads from several threads never share a file position.
#include "platform/pst/ndb/file_source.h"

#include <windows.h>

#include <algorithm>

#include "platform/os/system_message.h"
#include "platform/pst/util/hex.h"

namespace pst::ndb {
namespace {

class HandleSource final : public FileSource {
 public:
  HandleSource(HANDLE file, std::uint64_t size) : file_(file), size_(size) {}
  ~HandleSource() override { CloseHandle(file_); }
  HandleSource(const HandleSource&) = delete;
  HandleSource& operator=(const HandleSource&) = delete;

  std::uint64_t size() const override { return size_; }

  Status ReadExact(std::uint64_t offset, std::span<std::byte> out) const override {
    PST_RETURN_IF_ERROR(CheckRange(offset, out.size()));
    std::size_t done = 0;
    while (done < out.size()) {
      const std::uint64_t at = offset + done;
      OVERLAPPED position{};
      position.Offset = static_cast<DWORD>(at);
      position.OffsetHigh = static_cast<DWORD>(at >> 32);
      const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(out.size() - done, 1u << 30));
      DWORD n = 0;
      if (!ReadFile(file_, out.data() + done, wanted, &n, &position)) {
        const DWORD error = GetLastError();
        if (error == ERROR_HANDLE_EOF)
          n = 0;
        else
          return Status::Io("read failed at offset " + util::Hex(at) + ": " +
                            os::SystemMessage(error));
      }
      if (n == 0) return Status::Corrupt("file ended early at offset " + util::Hex(at));
      done += n;
    }
    return Status::Ok();
  }

 private:
  HANDLE file_;
  std::uint64_t size_;
};

}  // namespace

Result<std::unique_ptr<FileSource>> FileSource::OpenFile(const std::string& path) {
  // Shared as a POSIX descriptor is: others may write, rename or delete the file meanwhile.
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return Status::Io("cannot open " + path + ": " + os::SystemMessage(GetLastError()));
  LARGE_INTEGER size{};
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) {
    CloseHandle(file);
    return Status::Io(path + " is not a regular file");
  }
  return std::unique_ptr<FileSource>(
      std::make_unique<HandleSource>(file, static_cast<std::uint64_t>(size.QuadPart)));
}

}  // namespace pst::ndb
