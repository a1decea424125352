// The output file: positioned writes with a buffer for the mostly sequential stream of blocks.
#pragma once

#include <cstdint>
#include <fstream>
#include <span>
#include <string>
#include <vector>

namespace pstwriter {

class FileSink {
 public:
  // Creates or truncates path; throws WriteError when it cannot.
  explicit FileSink(const std::string& path);
  ~FileSink();
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;

  void WriteAt(std::uint64_t offset, std::span<const std::byte> data);
  // Flushes, sets the file's length and closes it; throws WriteError on failure.
  void Close(std::uint64_t length);

 private:
  void Flush();
  void Raw(std::uint64_t offset, std::span<const std::byte> data);

  std::string path_;
  std::ofstream file_;
  std::vector<std::byte> buffer_;
  std::uint64_t buffer_offset_ = 0;
};

}  // namespace pstwriter
