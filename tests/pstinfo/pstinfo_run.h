// Runs the built pstinfo program and splits what it wrote into lines, for the inspector's tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/whole_file.h"

namespace pstinfo_test {

using RunResult = test_support::ProcessOutput;
using test_support::ReadWholeFile;

inline std::string PstinfoPath() { return std::string(PST2XMZ_BIN_DIR) + "/pstinfo"; }

inline RunResult RunPstinfo(const std::vector<std::string>& args) {
  return test_support::RunProcess(PstinfoPath(), args);
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

inline std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
    fields.push_back(line.substr(start, tab - start));
  }
  fields.push_back(line.substr(start));
  return fields;
}

inline std::string Hex(std::uint64_t id) {
  std::ostringstream s;
  s << "0x" << std::hex << id;
  return s.str();
}

// Skips a test when the program was not built (a partial build of other targets).
class PstinfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(PstinfoPath())) GTEST_SKIP() << "pstinfo is not built";
  }
  test_support::TempDir dir_;
};

}  // namespace pstinfo_test
