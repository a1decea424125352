// The data file's side of one archive block as its text is produced: the pieces handed to the
// archive files, then the block's record, or the block withdrawn.
#pragma once

#include <cstdint>
#include <string_view>

#include "driver/archive_files.h"
#include "libs/import_session/import_pst.h"

namespace driver {

// Thrown out of BlockWriter::Write once the archive files have failed, so that the text being
// written stops at once.
struct BlockWriteFailed {};

class BlockWriter final : public import_session::MessageTextSink {
 public:
  explicit BlockWriter(ArchiveFiles& files) : files_(files) {}
  // A block neither committed nor withdrawn is withdrawn.
  ~BlockWriter() override;

  // Adds piece to the block. Throws BlockWriteFailed.
  void Write(std::string_view piece) override;
  // Ends the block with its record.
  void Commit(std::string_view record);
  // Drops the block.
  void Withdraw();

  // Bytes handed to Write so far.
  std::uint64_t size() const { return size_; }

 private:
  ArchiveFiles& files_;
  std::uint64_t size_ = 0;
  bool ended_ = false;
};

}  // namespace driver
