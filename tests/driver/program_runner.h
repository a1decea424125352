// Runs a built program in a child process, in a given working directory, and captures its exit
// code, standard output and standard error; optionally under a file-size limit so that writes fail
// as on a full disk, with standard descriptors closed, or with extra environment variables.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace driver_test {

struct ProgramOutput {
  int exit_code = -1;
  std::string out;
  std::string err;
};

// A fresh directory under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

struct RunOptions {
  std::string working_directory;
  // Largest file the program may write, in bytes. The program itself must keep SIGXFSZ from
  // killing it; the runner leaves the signal's default in place.
  std::optional<std::uint64_t> file_size_limit;
  // Standard descriptors (0, 1, 2) closed before the program starts.
  std::vector<int> closed_descriptors;
  // Standard output is a pipe whose reading end is already closed.
  bool output_pipe_closed = false;
  // Variables set for the program.
  std::map<std::string, std::string> environment;
};

RunOptions WithFileSizeLimit(std::uint64_t bytes);
RunOptions WithEnvironment(const std::string& name, const std::string& value);
RunOptions WithClosedDescriptors(std::vector<int> descriptors);
RunOptions WithOutputPipeClosed();

// A program started in a child process; Wait() collects it.
class ChildProgram {
 public:
  ChildProgram(const std::string& executable, const std::vector<std::string>& arguments,
               const RunOptions& options);
  ~ChildProgram();
  ChildProgram(const ChildProgram&) = delete;
  ChildProgram& operator=(const ChildProgram&) = delete;

  void Signal(int signal_number) const;
  // Waits for the program to end; the exit code is 128 + the signal when a signal ended it.
  ProgramOutput Wait();

 private:
  std::unique_ptr<TempDir> capture_;
  int pid_ = -1;
};

ProgramOutput RunBuiltProgram(const std::string& executable, const std::vector<std::string>& arguments,
                              const RunOptions& options);

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& content);
bool FileExists(const std::string& path);

}  // namespace driver_test
