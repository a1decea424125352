// Gathering a block's pieces: small ones are copied, a piece that does not fit goes out with what
// was gathered in one append, never copied.
#include "driver/block_writer.h"

#include <cstring>

namespace driver {

void BlockWriter::Write(std::string_view piece) {
  size_ += piece.size();
  if (piece.size() <= kBlockBufferSize - used_) {
    std::memcpy(buffer_ + used_, piece.data(), piece.size());
    used_ += piece.size();
    return;
  }
  Append(piece);
}

void BlockWriter::Flush() { Append({}); }

void BlockWriter::Append(std::string_view piece) {
  const std::string_view gathered(buffer_, used_);
  used_ = 0;
  if (gathered.empty() && piece.empty()) return;
  if (std::error_code error = file_.Append({gathered, piece})) {
    error_ = error;
    throw BlockWriteFailed{};
  }
}

}  // namespace driver
