// Where the node database reads its bytes from: a file read with pread, or a buffer in memory (used
// by fuzz targets and tests). Every read is checked against the size before it is made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/pst/result.h"

namespace pst::ndb {

class FileSource {
 public:
  virtual ~FileSource() = default;
  virtual std::uint64_t size() const = 0;
  // Fills out from offset; kCorrupt when the range is not wholly inside the file, kIo when the
  // system fails. Safe to call from several threads.
  virtual Status ReadExact(std::uint64_t offset, std::span<std::byte> out) const = 0;

  // Opens a regular file for reading, never waiting on a FIFO. kIo for a missing file, a directory
  // or any other file that is not a regular file. Reads never go past the size seen here.
  static Result<std::unique_ptr<FileSource>> OpenFile(const std::string& path);
  static std::unique_ptr<FileSource> FromMemory(std::vector<std::byte> bytes);

 protected:
  // The common range check: kCorrupt naming offset and length when they leave the file.
  Status CheckRange(std::uint64_t offset, std::size_t length) const;
};

}  // namespace pst::ndb
