// Filling chunks with a block's pieces.
#include "driver/block_writer.h"

#include <algorithm>
#include <cstring>

namespace driver {

BlockWriter::~BlockWriter() {
  if (!ended_) Withdraw();
}

void BlockWriter::Write(std::string_view piece) {
  size_ += piece.size();
  while (!piece.empty()) {
    if (!chunk_.bytes) chunk_ = files_.TakeChunk();
    const std::size_t n = std::min(piece.size(), kChunkSize - chunk_.size);
    std::memcpy(chunk_.bytes.get() + chunk_.size, piece.data(), n);
    chunk_.size += n;
    piece.remove_prefix(n);
    if (chunk_.size == kChunkSize) {
      files_.AppendData(std::move(chunk_));
      chunk_ = {};
      if (files_.failed()) throw BlockWriteFailed{};
    }
  }
}

void BlockWriter::Commit(std::string record) {
  ended_ = true;
  files_.Commit(std::move(chunk_), std::move(record));
  chunk_ = {};
}

void BlockWriter::Withdraw() {
  ended_ = true;
  files_.Withdraw(std::move(chunk_));
  chunk_ = {};
}

}  // namespace driver
