// Runs a program in a child process without a shell: the program and its arguments go to exec as
// a vector, so nothing is quoted or split (on Windows they are quoted for the C runtime's parser,
// which splits them back exactly). Captures the exit status, standard output and standard error;
// optionally sets environment variables, feeds standard input, changes the working directory,
// limits the size of files written, closes standard descriptors or gives a standard output whose
// reader is gone (the last three on POSIX systems only; Windows refuses them with an exception).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace test_support {

struct ProcessOutput {
  // The program's exit status, or 128 + the signal number when a signal ended it; 127 when the
  // program could not be started.
  int exit_code = -1;
  std::string out;
  std::string err;  // empty when standard error was merged into `out`
  // The largest resident set the program had, in KiB (POSIX systems; 0 on Windows).
  std::uint64_t peak_resident_kib = 0;
};

struct ProcessOptions {
  std::string working_directory;
  // Variables added to (or replacing those of) the test's own environment.
  std::map<std::string, std::string> environment;
  // Bytes given on standard input; without them the child inherits the test's standard input.
  std::optional<std::string> input;
  // Standard error goes where standard output goes, interleaved as written.
  bool merge_error_into_output = false;
  // Largest file the program may write, in bytes. The program itself must keep SIGXFSZ from
  // killing it; the runner leaves the signal's default in place.
  std::optional<std::uint64_t> file_size_limit;
  // Standard descriptors (0, 1, 2) closed before the program starts.
  std::vector<int> closed_descriptors;
  // Standard output is a pipe whose reading end is already closed.
  bool output_pipe_closed = false;
};

ProcessOptions WithEnvironment(const std::string& name, const std::string& value);
ProcessOptions WithFileSizeLimit(std::uint64_t bytes);
ProcessOptions WithClosedDescriptors(std::vector<int> descriptors);
ProcessOptions WithOutputPipeClosed();

// A program started in a child process; Wait() collects it. A program given without a slash is
// looked up in PATH. The destructor kills a child that was never waited for.
class ChildProcess {
 public:
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
               const ProcessOptions& options = {});
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // On Windows the child is terminated with the exit code 128 + signal_number.
  void Signal(int signal_number) const;
  ProcessOutput Wait();

 private:
  TempDir capture_;
#ifdef _WIN32
  void* process_ = nullptr;  // the process handle; none when the program could not be started
#else
  int pid_ = -1;
#endif
};

// Starts the program and waits for it.
ProcessOutput RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const ProcessOptions& options = {});

}  // namespace test_support
