// The data file's side of one archive block: the pieces of a message gathered in a buffer that the
// archive writer reuses, and appended to the file in large writes as they come.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <system_error>

#include "driver/output_file.h"
#include "libs/mapi/import_pst.h"

namespace driver {

// Bytes gathered before a write.
inline constexpr std::size_t kBlockBufferSize = 256 * 1024;

// Thrown out of BlockWriter::Write when the file refused bytes, so that the text being written
// stops at once; BlockWriter::error() then tells why.
struct BlockWriteFailed {};

class BlockWriter final : public mapi::MessageTextSink {
 public:
  // buffer holds kBlockBufferSize bytes and outlives the writer.
  BlockWriter(OutputFile& file, char* buffer) : file_(file), buffer_(buffer) {}

  // Gathers piece; appends the gathered bytes (and a large piece along with them) when the buffer
  // cannot take it. Throws BlockWriteFailed when an append fails.
  void Write(std::string_view piece) override;
  // Appends what is still gathered. Throws BlockWriteFailed when that fails.
  void Flush();

  // Bytes handed to Write so far.
  std::uint64_t size() const { return size_; }
  std::error_code error() const { return error_; }

 private:
  void Append(std::string_view piece);

  OutputFile& file_;
  char* buffer_;
  std::size_t used_ = 0;
  std::uint64_t size_ = 0;
  std::error_code error_;
};

}  // namespace driver
