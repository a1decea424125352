// OutputFile over the platform's append-only file, with the export's own error texts.
#include "driver/output_file.h"

#include "driver/export_error.h"
#include "platform/os/append_file.h"

namespace driver {
namespace {

class SystemOutputFile final : public OutputFile {
 public:
  SystemOutputFile(os::AppendFile file, std::string path)
      : file_(std::move(file)), path_(std::move(path)) {}

  std::error_code Append(std::initializer_list<std::string_view> pieces) override {
    return file_.Append(std::span<const std::string_view>(pieces.begin(), pieces.size()));
  }
  std::error_code Truncate(std::uint64_t length) override { return file_.Truncate(length); }
  std::error_code Close() override { return file_.Close(); }
  const std::string& path() const override { return path_; }

 private:
  os::AppendFile file_;
  std::string path_;
};

}  // namespace

// The file is opened without emptying it and locked first: a file another run is writing is
// refused untouched, and only a file this run holds is emptied. A file system without locks (some
// network ones) is written unlocked, as before locks existed.
std::unique_ptr<OutputFile> CreateOutputFile(const std::string& path) {
  os::AppendFile file;
  if (std::error_code error = file.Open(path))
    throw FileError(CannotCreateFileText(path, error.message()));
  if (file.TryLock() == std::errc::resource_unavailable_try_again)
    throw FileError(
        CannotCreateFileText(path, "Another export is writing to it; it was left as it was."));
  if (std::error_code error = file.Empty())
    throw FileError(CannotCreateFileText(path, error.message()));
  return std::make_unique<SystemOutputFile>(std::move(file), path);
}

}  // namespace driver
