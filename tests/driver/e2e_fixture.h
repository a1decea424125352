// Shared set-up of the end-to-end tests: a temporary working folder, a script for the scripted
// import double, and a run of the built program in that folder.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/driver/program_runner.h"

namespace driver_test {

class ExportE2eTest : public testing::Test {
 protected:
  // Writes the import script that the scripted double reads in place of a PST file.
  void Script(const std::string& name, const std::string& lines) { WriteWholeFile(dir_ / name, lines); }

  ProgramOutput Run(const std::vector<std::string>& arguments, const RunOptions& options = {}) {
    return Start(arguments, options)->Wait();
  }

  // Starts the program without waiting for it.
  std::unique_ptr<ChildProgram> Start(const std::vector<std::string>& arguments,
                                      const RunOptions& options = {}) {
    RunOptions in_dir = options;
    if (in_dir.working_directory.empty()) in_dir.working_directory = dir_.path();
    return std::make_unique<ChildProgram>(PST2XMZ_FAKE_IMPORT_PROGRAM, arguments, in_dir);
  }

  std::string File(const std::string& name) const { return ReadWholeFile(dir_ / name); }
  bool Exists(const std::string& name) const { return FileExists(dir_ / name); }

  TempDir dir_;
};

// The console lines of a run, joined with CR LF.
inline std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace driver_test
