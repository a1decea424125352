// Running the built program in a child process and reading what it wrote: its exit code, its
// console output, and the records of the archive's index file.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace e2e_test {

struct ProgramRun {
  int exit_code = -1;
  std::string output;  // standard output and standard error together
};
// Runs build/bin/pst2xmz with `args`; `environment` adds or replaces variables for the child.
ProgramRun RunProgram(const std::vector<std::string>& args,
                      const std::map<std::string, std::string>& environment = {});

// One seven-line record of the index file.
struct IndexRecord {
  std::string number, key, summary, folder_key, length, offset, time;
};
// The records of an index file; `ok` is false when the file is missing or not whole records.
struct Index {
  bool ok = false;
  std::vector<IndexRecord> records;
};
Index ReadIndex(const std::string& path);

std::string ReadFile(const std::string& path);
// A fresh, empty directory for one test's output.
std::string FreshDirectory(const std::string& name);

}  // namespace e2e_test
