// A C stream that collects what is written to it in memory, for console and error output in
// in-process tests.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace driver_test {

class OutputCapture {
 public:
  OutputCapture() : file_(open_memstream(&buffer_, &size_)) {}
  ~OutputCapture() {
    std::fclose(file_);
    std::free(buffer_);
  }
  OutputCapture(const OutputCapture&) = delete;
  OutputCapture& operator=(const OutputCapture&) = delete;

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
