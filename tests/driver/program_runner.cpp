// Child-process runner and temporary folders for the end-to-end tests.
#include "tests/driver/program_runner.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace driver_test {

namespace {

// In the child: the descriptors and limits the options ask for, then the program.
[[noreturn]] void ExecInChild(const std::string& executable, std::vector<char*>& argv,
                              const RunOptions& options, const std::string& out_path,
                              const std::string& err_path) {
  int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(126);
  close(out);
  close(err);
  if (options.output_pipe_closed) {
    int ends[2];
    if (pipe(ends) != 0 || dup2(ends[1], 1) < 0) _exit(126);
    close(ends[0]);
    close(ends[1]);
  }
  if (!options.working_directory.empty() && chdir(options.working_directory.c_str()) != 0) _exit(126);
  for (const auto& [name, value] : options.environment) setenv(name.c_str(), value.c_str(), 1);
  if (options.file_size_limit) {
    rlimit limit{*options.file_size_limit, *options.file_size_limit};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(126);
  }
  // The test process may ignore signals; the program starts as a shell would start it.
  for (int signal_number : {SIGPIPE, SIGXFSZ, SIGINT, SIGTERM, SIGHUP}) std::signal(signal_number, SIG_DFL);
  for (int fd : options.closed_descriptors) close(fd);
  execv(executable.c_str(), argv.data());
  _exit(127);
}

}  // namespace

RunOptions WithFileSizeLimit(std::uint64_t bytes) {
  RunOptions options;
  options.file_size_limit = bytes;
  return options;
}

RunOptions WithEnvironment(const std::string& name, const std::string& value) {
  RunOptions options;
  options.environment[name] = value;
  return options;
}

RunOptions WithClosedDescriptors(std::vector<int> descriptors) {
  RunOptions options;
  options.closed_descriptors = std::move(descriptors);
  return options;
}

RunOptions WithOutputPipeClosed() {
  RunOptions options;
  options.output_pipe_closed = true;
  return options;
}

ChildProgram::ChildProgram(const std::string& executable, const std::vector<std::string>& arguments,
                           const RunOptions& options)
    : capture_(std::make_unique<TempDir>()) {
  std::vector<char*> argv{const_cast<char*>(executable.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const std::string out_path = *capture_ / "stdout";
  const std::string err_path = *capture_ / "stderr";
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) ExecInChild(executable, argv, options, out_path, err_path);
}

ChildProgram::~ChildProgram() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

void ChildProgram::Signal(int signal_number) const { kill(pid_, signal_number); }

ProgramOutput ChildProgram::Wait() {
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  ProgramOutput result;
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = ReadWholeFile(*capture_ / "stdout");
  result.err = ReadWholeFile(*capture_ / "stderr");
  return result;
}

ProgramOutput RunBuiltProgram(const std::string& executable, const std::vector<std::string>& arguments,
                              const RunOptions& options) {
  return ChildProgram(executable, arguments, options).Wait();
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "pst2xmz-driver-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void WriteWholeFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

bool FileExists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

}  // namespace driver_test
