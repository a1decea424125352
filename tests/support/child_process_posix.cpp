// Child processes for the tests on POSIX systems: fork, redirect, exec with an argument vector,
// wait.
#include "tests/support/child_process.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <stdexcept>
#include <string_view>

#include "tests/support/whole_file.h"

extern char** environ;

namespace test_support {

namespace {

// Everything the child needs, prepared before fork so that the child only makes system calls.
struct ExecPlan {
  std::vector<std::string> argument_storage;
  std::vector<std::string> environment_storage;
  std::vector<char*> argv;
  std::vector<char*> envp;
  std::string out_path, err_path, in_path;
};

std::vector<std::string> MergedEnvironment(const std::map<std::string, std::string>& added) {
  std::vector<std::string> merged;
  for (char** entry = environ; *entry; ++entry) {
    const std::string_view text(*entry);
    const std::string name(text.substr(0, text.find('=')));
    if (!added.count(name)) merged.emplace_back(*entry);
  }
  for (const auto& [name, value] : added) merged.push_back(name + "=" + value);
  return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Standard input, output and error of the child, as the options ask.
void RedirectInChild(const ExecPlan& plan, const ProcessOptions& options) {
  if (options.input) {
    const int in = ::open(plan.in_path.c_str(), O_RDONLY);
    if (in < 0 || ::dup2(in, 0) < 0) ::_exit(126);
    ::close(in);
  }
  const int out = ::open(plan.out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int err = options.merge_error_into_output
                      ? ::dup(out)
                      : ::open(plan.err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(126);
  ::close(out);
  ::close(err);
  if (options.output_pipe_closed) {
    int ends[2];
    if (::pipe(ends) != 0 || ::dup2(ends[1], 1) < 0) ::_exit(126);
    ::close(ends[0]);
    ::close(ends[1]);
  }
}

[[noreturn]] void ExecInChild(ExecPlan& plan, const ProcessOptions& options) {
  RedirectInChild(plan, options);
  if (!options.working_directory.empty() && ::chdir(options.working_directory.c_str()) != 0) {
    ::_exit(126);
  }
  if (options.file_size_limit) {
    const rlimit limit{*options.file_size_limit, *options.file_size_limit};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(126);
  }
  // The test process may ignore signals; the program starts as a shell would start it.
  for (int signal_number : {SIGPIPE, SIGXFSZ, SIGINT, SIGTERM, SIGHUP})
    std::signal(signal_number, SIG_DFL);
  for (int fd : options.closed_descriptors) ::close(fd);
  ::execvpe(plan.argv[0], plan.argv.data(), plan.envp.data());
  ::_exit(127);
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const ProcessOptions& options) {
  ExecPlan plan;
  plan.argument_storage.push_back(program);
  plan.argument_storage.insert(plan.argument_storage.end(), arguments.begin(), arguments.end());
  plan.environment_storage = MergedEnvironment(options.environment);
  plan.argv = Pointers(plan.argument_storage);
  plan.envp = Pointers(plan.environment_storage);
  plan.out_path = capture_ / "stdout";
  plan.err_path = capture_ / "stderr";
  plan.in_path = capture_ / "stdin";
  if (options.input) WriteWholeFile(plan.in_path, *options.input);
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) ExecInChild(plan, options);
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
}

void ChildProcess::Signal(int signal_number) const { ::kill(pid_, signal_number); }

ProcessOutput ChildProcess::Wait() {
  int status = 0;
  rusage usage{};
  ::wait4(pid_, &status, 0, &usage);
  pid_ = -1;
  ProcessOutput result;
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.peak_resident_kib = static_cast<std::uint64_t>(usage.ru_maxrss);  // KiB on Linux
  result.out = ReadWholeFile(capture_ / "stdout");
  result.err = ReadWholeFile(capture_ / "stderr");
  return result;
}

}  // namespace test_support
