// Runs of the built program and the reader of its index file.
#include "tests/e2e/program_run.h"

#include <fstream>

namespace e2e_test {

ProcessOutput RunProgram(const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& environment) {
  ProcessOptions options;
  options.environment = environment;
  options.merge_error_into_output = true;
  return test_support::RunProcess(PST2XMZ_PROGRAM, args, options);
}

Index ReadIndex(const std::string& path) {
  Index index;
  std::ifstream in(path, std::ios::binary);
  if (!in) return index;
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  if (lines.empty() || lines[0] != "0" || (lines.size() - 1) % 7 != 0) return index;
  for (std::size_t i = 1; i < lines.size(); i += 7) {
    index.records.push_back({lines[i], lines[i + 1], lines[i + 2], lines[i + 3], lines[i + 4],
                             lines[i + 5], lines[i + 6]});
  }
  index.ok = true;
  return index;
}

}  // namespace e2e_test
