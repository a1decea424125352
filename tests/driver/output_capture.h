// A C stream that collects what is written to it, for console and error output in in-process
// tests. It is a file in a temporary folder, read back whole.
#pragma once

#include <cstdio>
#include <string>

#include "tests/support/temp_dir.h"
#include "tests/support/whole_file.h"

namespace driver_test {

class OutputCapture {
 public:
  OutputCapture() : file_(std::fopen((dir_ / "output").c_str(), "wb")) {}
  ~OutputCapture() {
    if (file_) std::fclose(file_);
  }
  OutputCapture(const OutputCapture&) = delete;
  OutputCapture& operator=(const OutputCapture&) = delete;

  std::FILE* file() { return file_; }
  std::string text() {
    std::fflush(file_);
    return test_support::ReadWholeFile(dir_ / "output");
  }

 private:
  test_support::TempDir dir_;
  std::FILE* file_;
};

}  // namespace driver_test
