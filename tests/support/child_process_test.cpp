// The shared child-process runner, on programs every Debian system has: arguments reach the program
// exactly as given (no shell splits or expands them), standard input, output and error and the
// exit status come back, the environment is extended, and a program that is missing or killed is
// told apart from one that exits.
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

#include "tests/support/temp_dir.h"
#include "tests/support/whole_file.h"

namespace test_support {
namespace {

TEST(ChildProcess, ArgumentsPassUnsplitAndUnexpanded) {
  const std::string tricky = "a b 'c' \"d\" $HOME `true` ; *";
  const ProcessOutput run = RunProcess("printf", {"%s|%s", tricky, ""});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, tricky + "|");
}

TEST(ChildProcess, InputOutputErrorAndStatusComeBackApartOrMerged) {
  ProcessOptions options;
  options.input = std::string("line one\nline two\0with NUL\n", 27);
  const ProcessOutput echoed = RunProcess("cat", {}, options);
  EXPECT_EQ(echoed.exit_code, 0);
  EXPECT_EQ(echoed.out, *options.input);

  const TempDir dir;
  WriteWholeFile(dir / "present", "x");
  const ProcessOutput listed = RunProcess("ls", {dir / "present", dir / "absent"});
  EXPECT_NE(listed.exit_code, 0);
  EXPECT_EQ(listed.out, dir / "present" + "\n");
  EXPECT_NE(listed.err.find("absent"), std::string::npos);

  ProcessOptions merged;
  merged.merge_error_into_output = true;
  const ProcessOutput both = RunProcess("ls", {dir / "present", dir / "absent"}, merged);
  EXPECT_NE(both.out.find(dir / "present"), std::string::npos);
  EXPECT_NE(both.out.find("absent"), std::string::npos);
  EXPECT_EQ(both.err, "");
}

TEST(ChildProcess, EnvironmentAndWorkingDirectoryApplyToTheChildOnly) {
  const TempDir dir;
  ProcessOptions options = WithEnvironment("PST2XMZ_RUNNER_PROBE", "value with = sign");
  options.environment["HOME"] = "/replaced";
  options.working_directory = dir.path();
  const ProcessOutput run = RunProcess("printenv", {"PST2XMZ_RUNNER_PROBE", "HOME"}, options);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out, "value with = sign\n/replaced\n");
  const char* path = std::getenv("PATH");
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(RunProcess("printenv", {"PATH"}, options).out, std::string(path) + "\n");  // inherited
  EXPECT_EQ(RunProcess("pwd", {}, options).out, dir.path() + "\n");
  EXPECT_EQ(std::getenv("PST2XMZ_RUNNER_PROBE"), nullptr);
}

TEST(ChildProcess, MissingProgramAndKilledProgramAreToldApart) {
  EXPECT_EQ(RunProcess("pst2xmz-no-such-program", {}).exit_code, 127);
  EXPECT_EQ(RunProcess("false", {}).exit_code, 1);

  ChildProcess waiting("sleep", {"600"});
  waiting.Signal(SIGKILL);
  EXPECT_EQ(waiting.Wait().exit_code, 128 + SIGKILL);
}

}  // namespace
}  // namespace test_support
