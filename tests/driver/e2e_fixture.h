// Shared set-up of the end-to-end tests: a temporary working folder, a script for the scripted
// import double, and a run of the built program in that folder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/whole_file.h"

namespace driver_test {

using test_support::ChildProcess;
using test_support::ProcessOptions;
using test_support::ProcessOutput;
using test_support::ReadWholeFile;
using test_support::TempDir;
using test_support::WithClosedDescriptors;
using test_support::WithEnvironment;
using test_support::WithFileSizeLimit;
using test_support::WithOutputPipeClosed;
using test_support::WriteWholeFile;

class ExportE2eTest : public testing::Test {
 protected:
  // Writes the import script that the scripted double reads in place of a PST file.
  void Script(const std::string& name, const std::string& lines) {
    WriteWholeFile(dir_ / name, lines);
  }

  ProcessOutput Run(const std::vector<std::string>& arguments, const ProcessOptions& options = {}) {
    return Start(arguments, options)->Wait();
  }

  // Starts the program without waiting for it.
  std::unique_ptr<ChildProcess> Start(const std::vector<std::string>& arguments,
                                      const ProcessOptions& options = {}) {
    ProcessOptions in_dir = options;
    if (in_dir.working_directory.empty()) in_dir.working_directory = dir_.path();
    return std::make_unique<ChildProcess>(PST2XMZ_FAKE_IMPORT_PROGRAM, arguments, in_dir);
  }

  std::string File(const std::string& name) const { return ReadWholeFile(dir_ / name); }
  // True for a link too, even one whose target is missing.
  bool Exists(const std::string& name) const {
    return std::filesystem::exists(std::filesystem::symlink_status(dir_ / name));
  }

  TempDir dir_;
};

// The console lines of a run, joined with CR LF.
inline std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace driver_test
