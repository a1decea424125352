// Runs the built pstinfo program and splits what it wrote into lines, for the inspector's tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "tests/tools/writer_test_support.h"

namespace pstinfo_test {

struct RunResult {
  int exit_code = -1;
  std::string out;
  std::string err;
};

inline std::string PstinfoPath() { return std::string(PST2XMZ_BIN_DIR) + "/pstinfo"; }

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// `args` are quoted one by one; output goes through files in `dir`.
inline RunResult RunPstinfo(const writer_test::ScratchDir& dir, const std::vector<std::string>& args) {
  std::string command = "'" + PstinfoPath() + "'";
  for (const std::string& a : args) command += " '" + a + "'";
  const std::string out = dir.File("stdout.txt");
  const std::string err = dir.File("stderr.txt");
  const int status = std::system((command + " > '" + out + "' 2> '" + err + "'").c_str());
  RunResult r;
  r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = ReadText(out);
  r.err = ReadText(err);
  return r;
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
  writer_test::ScratchDir dir_;
};

}  // namespace pstinfo_test
