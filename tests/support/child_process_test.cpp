// The shared child-process runner, with a probe program that reports what it was given: arguments
// reach the program exactly as given (no shell splits or expands them, whatever quoting the system
// needs), standard input, output and error and the exit status come back, the environment is
// extended, and a program that is missing or killed is told apart from one that exits.
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "tests/support/temp_dir.h"

namespace test_support {
namespace {

const std::string kProbe = PROCESS_PROBE;

TEST(ChildProcess, ArgumentsPassUnsplitAndUnexpanded) {
  const std::vector<std::string> tricky = {"a b 'c' \"d\" $HOME %PATH% `true` ; * | >x",
                                           "",
                                           "trailing backslash\\",
                                           "back\\\\slashes \\\"before\\\\\" quotes",
                                           "\\\\server\\share\\",
                                           "tab\there"};
  std::vector<std::string> arguments = {"args"};
  arguments.insert(arguments.end(), tricky.begin(), tricky.end());
  const ProcessOutput run = RunProcess(kProbe, arguments);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  std::string expected;
  for (const std::string& argument : tricky) expected += argument + "\n";
  EXPECT_EQ(run.out, expected);
}

TEST(ChildProcess, InputOutputErrorAndStatusComeBackApartOrMerged) {
  ProcessOptions options;
  options.input = std::string("line one\nline two\0with NUL\r\n", 28);
  const ProcessOutput echoed = RunProcess(kProbe, {"cat"}, options);
  EXPECT_EQ(echoed.exit_code, 0);
  EXPECT_EQ(echoed.out, *options.input);

  const ProcessOutput apart = RunProcess(kProbe, {"exit", "to out", "to err", "3"});
  EXPECT_EQ(apart.exit_code, 3);
  EXPECT_EQ(apart.out, "to out");
  EXPECT_EQ(apart.err, "to err");

  ProcessOptions merged;
  merged.merge_error_into_output = true;
  const ProcessOutput both = RunProcess(kProbe, {"exit", "to out ", "to err", "0"}, merged);
  EXPECT_EQ(both.out, "to out to err");
  EXPECT_EQ(both.err, "");
}

TEST(ChildProcess, EnvironmentAndWorkingDirectoryApplyToTheChildOnly) {
  const TempDir dir;
  ProcessOptions options = WithEnvironment("PST2XMZ_RUNNER_PROBE", "value with = sign");
  options.environment["PST2XMZ_RUNNER_SECOND"] = "";
  options.working_directory = dir.path();
  const ProcessOutput run =
      RunProcess(kProbe, {"env", "PST2XMZ_RUNNER_PROBE", "PST2XMZ_RUNNER_ABSENT"}, options);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out, "value with = sign\n(unset)\n");
  const char* path = std::getenv("PATH");
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(RunProcess(kProbe, {"env", "PATH"}, options).out,
            std::string(path) + "\n");  // inherited
  std::string cwd = RunProcess(kProbe, {"cwd"}, options).out;
  ASSERT_FALSE(cwd.empty());
  cwd.pop_back();
  EXPECT_TRUE(std::filesystem::equivalent(cwd, dir.path())) << cwd;
  EXPECT_EQ(std::getenv("PST2XMZ_RUNNER_PROBE"), nullptr);
}

TEST(ChildProcess, MissingProgramAndKilledProgramAreToldApart) {
  EXPECT_EQ(RunProcess("pst2xmz-no-such-program", {}).exit_code, 127);
  EXPECT_EQ(RunProcess(kProbe, {"exit", "", "", "1"}).exit_code, 1);

  ChildProcess waiting(kProbe, {"wait"});
  waiting.Signal(SIGTERM);
  EXPECT_EQ(waiting.Wait().exit_code, 128 + SIGTERM);
}

// The benchmarks read a whole export's peak memory from here: it must be the child's own, not the
// largest of all children so far.
TEST(ChildProcess, PeakResidentSizeIsTheChildsOwn) {
#ifdef _WIN32
  GTEST_SKIP() << "the peak resident size is read on POSIX systems only";
#endif
  const ProcessOutput large = RunProcess(kProbe, {"touch", "64"});
  ASSERT_EQ(large.exit_code, 0);
  EXPECT_GE(large.peak_resident_kib, 64u << 10);
  const ProcessOutput small = RunProcess(kProbe, {"touch", "0"});
  ASSERT_EQ(small.exit_code, 0);
  EXPECT_GT(small.peak_resident_kib, 0u);
  EXPECT_LT(small.peak_resident_kib, 32u << 10);
}

}  // namespace
}  // namespace test_support
