// The program in an unkind environment: stop signals from a terminal or a service manager, a
// second run on the same destination, standard descriptors closed, a console pipe nobody reads.
// Whatever happens, the archive holds whole records only and the exit code says what happened.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include "tests/driver/e2e_fixture.h"

namespace driver_test {
namespace {

using ProcessEnvironmentE2eTest = ExportE2eTest;

std::string Message(const std::string& subject) {
  return "message 0 Subject: " + subject + "\\r\\n\\r\\nbody of " + subject + "\n";
}

// The block of a message made by Message().
std::string Block(const std::string& subject) {
  return "FROM: \r\nRCPT: mailbox\r\nSubject: " + subject + "\r\n\r\nbody of " + subject;
}

class StopSignalE2eTest : public ExportE2eTest, public testing::WithParamInterface<int> {};

TEST_P(StopSignalE2eTest, StopsAfterTheLastWholeRecordAndSaysSo) {
  Script("a.pst", "log " + dir_ / "session.log" + "\nignore-stop\nfolder 2 Inbox\n" +
                      Message("one") + Message("two") + "raise " + std::to_string(GetParam()) +
                      "\n" + Message("three") + "folder 1 Later\n" + Message("four"));
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out", "-f", "folders.txt"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "Cannot finish: interrupted\r\n");
  EXPECT_EQ(run.out.find("...done"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("Completed import"), std::string::npos) << run.out;
  // No message is begun after the request, and no later folder is taken.
  EXPECT_EQ(File("session.log"),
            "folder Inbox id 0 included\nmessage stored\nmessage stored\n"
            "message stop\nfolder Later id -1 left out\n");
  const std::string length = std::to_string(Block("one").size());
  EXPECT_EQ(File("out.xmz"), Block("one") + Block("two"));
  EXPECT_EQ(File("out.idx"), "0\r\n" +
                                 Lines({"1", "F00000001", "||one|||", "268435456", length, "0",
                                        " 0.00000000000000E+0000"}) +
                                 Lines({"2", "F00000002", "||two|||", "268435456", length, length,
                                        " 0.00000000000000E+0000"}));
  EXPECT_FALSE(Exists("folders.txt"));
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignalE2eTest, testing::Values(SIGINT, SIGTERM, SIGHUP));

TEST_F(ProcessEnvironmentE2eTest, StopRequestBeforeTheFirstMessageLeavesAnEmptyArchive) {
  Script("a.pst", "raise 15\nfolder 2 Inbox\n" + Message("one"));
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "Cannot finish: interrupted\r\n");
  EXPECT_EQ(File("out.xmz"), "");
  EXPECT_EQ(File("out.idx"), "0\r\n");
}

TEST_F(ProcessEnvironmentE2eTest, DestinationLockedByAnotherRunIsRefusedUntouched) {
  WriteWholeFile(dir_ / "out.xmz", "an earlier archive");
  int held = open((dir_ / "out.xmz").c_str(), O_RDONLY);
  ASSERT_GE(held, 0);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  Script("a.pst", "folder 2 Inbox\n" + Message("one"));
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out"});
  close(held);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "File error: Cannot create file \"" + dir_ / "out.xmz" +
                         "\". Another export is writing to it; it was left as it was.\r\n");
  EXPECT_EQ(File("out.xmz"), "an earlier archive");
  EXPECT_FALSE(Exists("out.idx"));
}

TEST_F(ProcessEnvironmentE2eTest, TwoRunsOnOneDestinationAtOnce) {
  // The first run waits inside its export for a message fed through a FIFO: once the test can open
  // the FIFO for writing, the first run holds its files.
  ASSERT_EQ(mkfifo((dir_ / "feed").c_str(), 0600), 0);
  Script("first.pst", "folder 2 Inbox\n" + Message("one") + "message-file 0 " + dir_ / "feed" +
                          "\n" + Message("three"));
  Script("second.pst", "folder 2 Inbox\n" + Message("other"));
  std::unique_ptr<ChildProcess> first = Start({"-s", "first.pst", "-d", "out"});
  int feed = open((dir_ / "feed").c_str(), O_WRONLY);
  ASSERT_GE(feed, 0);

  ProcessOutput second = Run({"-s", "second.pst", "-d", "out"});
  EXPECT_EQ(second.exit_code, 1);
  EXPECT_NE(second.err.find("Another export is writing to it"), std::string::npos) << second.err;

  const std::string two = "Subject: two\r\n\r\nbody of two";
  ASSERT_EQ(write(feed, two.data(), two.size()), static_cast<ssize_t>(two.size()));
  close(feed);
  ProcessOutput run = first->Wait();
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(File("out.xmz"), Block("one") + Block("two") + Block("three"));
  EXPECT_EQ(File("out.idx").find("other"), std::string::npos);
}

TEST_F(ProcessEnvironmentE2eTest, ClosedStandardDescriptorsNeverBecomeArchiveFiles) {
  Script("a.pst", "folder 2 Inbox\n" + Message("one") + Message("two") + "top-messages 1\n");
  ProcessOutput run =
      Run({"-s", "a.pst", "-d", "out", "-f", "folders.txt"}, WithClosedDescriptors({0, 1, 2}));
  EXPECT_EQ(run.exit_code, 3);  // the report of the top folder went nowhere
  EXPECT_EQ(File("out.xmz"), Block("one") + Block("two"));
  EXPECT_EQ(File("out.idx").substr(0, 6), "0\r\n1\r\n");
  EXPECT_EQ(File("folders.txt").substr(0, 5), "#=5\r\n");
}

TEST_F(ProcessEnvironmentE2eTest, ConsolePipeClosedByItsReaderOnlyLosesConsoleLines) {
  Script("a.pst", "folder 2 Inbox\n" + Message("one") + "folder 1 Other\n" + Message("two"));
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out"}, WithOutputPipeClosed());
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(File("out.xmz"), Block("one") + Block("two"));
}

}  // namespace
}  // namespace driver_test
