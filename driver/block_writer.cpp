// One block's pieces handed to the archive files.
#include "driver/block_writer.h"

namespace driver {

BlockWriter::~BlockWriter() {
  if (!ended_) Withdraw();
}

void BlockWriter::Write(std::string_view piece) {
  size_ += piece.size();
  files_.Write(piece);
  if (files_.failed()) throw BlockWriteFailed{};
}

void BlockWriter::Commit(std::string_view record) {
  ended_ = true;
  files_.Commit(record);
}

void BlockWriter::Withdraw() {
  ended_ = true;
  files_.Withdraw();
}

}  // namespace driver
