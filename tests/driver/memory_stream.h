// A C stream that collects what is written to it in memory, for console and error output in
// in-process tests.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace driver_test {

class MemoryStream {
 public:
  MemoryStream() : file_(open_memstream(&buffer_, &size_)) {}
  ~MemoryStream() {
    std::fclose(file_);
    std::free(buffer_);
  }
  MemoryStream(const MemoryStream&) = delete;
  MemoryStream& operator=(const MemoryStream&) = delete;

  std::FILE* file() { return file_; }
  std::string text() {
    std::fflush(file_);
    return std::string(buffer_, size_);
  }

 private:
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* file_;
};

}  // namespace driver_test
