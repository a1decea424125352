// Buffered positioned writes to the output file, through the standard library on every system.
#include "tools/pstwriter/file_sink.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "tools/pstwriter/write_error.h"

namespace pstwriter {
namespace {

constexpr std::size_t kBufferLimit = 1 << 20;

}  // namespace

FileSink::FileSink(const std::string& path) : path_(path) {
  file_.open(path, std::ios::binary | std::ios::out | std::ios::trunc);
  if (!file_) throw WriteError("cannot create " + path + ": " + std::strerror(errno));
}

FileSink::~FileSink() = default;

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
  file_.seekp(static_cast<std::streamoff>(offset));
  file_.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
  if (!file_) throw WriteError("cannot write " + path_ + ": " + std::strerror(errno));
}

void FileSink::Close(std::uint64_t length) {
  Flush();
  file_.close();
  std::error_code error;
  if (file_.fail())
    error = std::error_code(errno, std::generic_category());
  else
    std::filesystem::resize_file(path_, length, error);
  if (error) throw WriteError("cannot finish " + path_ + ": " + error.message());
}

}  // namespace pstwriter
