// In-memory file sources and the range check every source shares.
#include "platform/pst/ndb/file_source.h"

#include <cstring>

#include "platform/pst/util/hex.h"

namespace pst::ndb {
namespace {

class MemorySource final : public FileSource {
 public:
  explicit MemorySource(std::vector<std::byte> bytes) : bytes_(std::move(bytes)) {}
  std::uint64_t size() const override { return bytes_.size(); }
  Status ReadExact(std::uint64_t offset, std::span<std::byte> out) const override {
    PST_RETURN_IF_ERROR(CheckRange(offset, out.size()));
    if (!out.empty()) std::memcpy(out.data(), bytes_.data() + offset, out.size());
    return Status::Ok();
  }

 private:
  std::vector<std::byte> bytes_;
};

}  // namespace

Status FileSource::CheckRange(std::uint64_t offset, std::size_t length) const {
  const std::uint64_t total = size();
  if (offset > total || length > total - offset) {
    return Status::Corrupt("range of " + std::to_string(length) + " bytes at offset " +
                           util::Hex(offset) + " lies beyond the end of the file (" +
                           util::Hex(total) + ")");
  }
  return Status::Ok();
}

std::unique_ptr<FileSource> FileSource::FromMemory(std::vector<std::byte> bytes) {
  return std::make_unique<MemorySource>(std::move(bytes));
}

}  // namespace pst::ndb
