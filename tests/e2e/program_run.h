// Running the built program in a child process and reading what it wrote: its exit code, its
// console output, and the records of the archive's index file.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/whole_file.h"

namespace e2e_test {

using test_support::ChildProcess;
using test_support::ProcessOptions;
using test_support::ProcessOutput;
using test_support::ReadWholeFile;
using test_support::TempDir;

// Runs build/bin/pst2xmz with `args`; `environment` adds or replaces variables for the child.
// Standard error is merged into `out`, in the order written.
ProcessOutput RunProgram(const std::vector<std::string>& args,
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

}  // namespace e2e_test
