// Child-process runs of the program and readers of its archive files.
#include "tests/e2e/program_run.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace e2e_test {

ProgramRun RunProgram(const std::vector<std::string>& args,
                      const std::map<std::string, std::string>& environment) {
  ProgramRun run;
  char log_template[] = "/tmp/pst2xmz-e2e-XXXXXX";
  const int log = ::mkstemp(log_template);
  if (log < 0) return run;
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(log, 1);
    ::dup2(log, 2);
    for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
    const std::string program = std::string(PST2XMZ_BIN_DIR) + "/pst2xmz";
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ::close(log);
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.output = ReadFile(log_template);
  ::unlink(log_template);
  return run;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
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

namespace {

// Every fresh directory of this test process lies below one root, removed when the tests end.
std::string ScratchRoot() {
  return (std::filesystem::temp_directory_path() / ("pst2xmz-e2e-" + std::to_string(::getpid())))
      .string();
}

class ScratchRootRemoval : public ::testing::Environment {
 public:
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(ScratchRoot(), ignored);
  }
};

[[maybe_unused]] const ::testing::Environment* const kScratchRootRemoval =
    ::testing::AddGlobalTestEnvironment(new ScratchRootRemoval);

}  // namespace

std::string FreshDirectory(const std::string& name) {
  const std::string dir = ScratchRoot() + "/" + name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  std::filesystem::permissions(dir, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::replace);
  return dir;
}

}  // namespace e2e_test
