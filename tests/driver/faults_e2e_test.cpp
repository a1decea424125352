// Files that cannot be created or written, a disk that fills up during the export, and outputs that
// name the input or each other: a clear message naming the file and the reason, the right exit
// code, and nothing in the index that is not whole in the data file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/driver/e2e_fixture.h"

namespace driver_test {
namespace {

using FaultsE2eTest = ExportE2eTest;

// A script with `count` messages of 1000 bytes each in the folder Inbox, then a folder Later with
// one more message.
std::string ThousandByteMessages(int count) {
  std::string text = "Subject: m\\r\\n\\r\\n" + std::string(1000 - 14, 'x');
  std::string script = "folder 2 Inbox\n";
  for (int i = 0; i < count; ++i) script += "message " + std::to_string(i) + " " + text + "\n";
  return script + "folder 1 Later\nmessage 9 " + text + "\n";
}

TEST_F(FaultsE2eTest, DestinationInAMissingFolderNamesTheFileAndCreatesNothing) {
  Script("a.pst", "folder 1 F\n");
  ProcessOutput run = Run({"-s", "a.pst", "-d", "missing/out"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err,
            "File error: Cannot create file \"missing/out.xmz\". No such file or directory\r\n");
  EXPECT_EQ(run.out, Lines({"Reading " + dir_ / "a.pst"}));
  EXPECT_FALSE(Exists("missing"));
}

TEST_F(FaultsE2eTest, DataFileThatIsAFolderIsRefused) {
  ASSERT_EQ(mkdir((dir_ / "out.xmz").c_str(), 0755), 0);
  Script("a.pst", "folder 1 F\n");
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err,
            "File error: Cannot create file \"" + dir_ / "out.xmz" + "\". Is a directory\r\n");
  EXPECT_FALSE(Exists("out.idx"));
}

TEST_F(FaultsE2eTest, IndexFileThatCannotBeCreatedLeavesTheDataFileEmpty) {
  ASSERT_EQ(mkdir((dir_ / "out.idx").c_str(), 0755), 0);
  Script("a.pst", "folder 1 F\nmessage 0 Subject: x\\r\\n\\r\\n\n");
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err,
            "File error: Cannot create file \"" + dir_ / "out.idx" + "\". Is a directory\r\n");
  EXPECT_EQ(run.out.find("Assigning"), std::string::npos);
  EXPECT_EQ(File("out.xmz"), "");
}

TEST_F(FaultsE2eTest, UnwritableDestinationNamesTheFileAndTheReason) {
  // Permission bits do not stop the superuser; a read-only system folder does.
  std::string folder = dir_ / "locked";
  ASSERT_EQ(mkdir(folder.c_str(), 0555), 0);
  if (access(folder.c_str(), W_OK) == 0) folder = "/sys";
  if (access(folder.c_str(), F_OK) != 0) GTEST_SKIP() << "no unwritable folder on this machine";
  Script("a.pst", "folder 1 F\n");
  ProcessOutput run = Run({"-s", "a.pst", "-d", folder + "/out"});
  EXPECT_EQ(run.exit_code, 1);
  const std::string prefix = "File error: Cannot create file \"" + folder + "/out.xmz\". ";
  EXPECT_TRUE(run.err == prefix + "Permission denied\r\n" ||
              run.err == prefix + "Read-only file system\r\n")
      << run.err;
}

TEST_F(FaultsE2eTest, UnwritableFolderListEndsTheRunAfterTheArchiveIsClosed) {
  Script("a.pst", "folder 1 F\nmessage 0 Subject: x\\r\\n\\r\\n\n");
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out", "-f", "missing/folders.txt"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(
      run.err,
      "File error: Cannot create file \"missing/folders.txt\". No such file or directory\r\n");
  EXPECT_NE(run.out.find("...done\r\nWriting folder list to missing/folders.txt\r\n"),
            std::string::npos);
  EXPECT_EQ(run.out.find("Completed import"), std::string::npos);
  EXPECT_NE(File("out.idx").find("||x|||"), std::string::npos);
}

TEST_F(FaultsE2eTest, DiskFullWhileAppendingKeepsOnlyWholeRecordsAndEndsTheRun) {
  Script("a.pst", "log " + dir_ / "session.log" + "\n" + ThousandByteMessages(5));
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out", "-f", "folders.txt"},
                          WithFileSizeLimit(2500));  // two 1023-byte blocks fit, the third does not
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err,
            "File error: Cannot write file \"" + dir_ / "out.xmz" + "\". File too large\r\n");
  EXPECT_EQ(run.out.find("Completed import"), std::string::npos);
  EXPECT_EQ(File("out.xmz").size(), 2046u);
  EXPECT_EQ(File("out.idx"), "0\r\n" +
                                 Lines({"1", "F00000001", "||m|||", "268435456", "1023", "0",
                                        " 0.00000000000000E+0000"}) +
                                 Lines({"2", "F00000002", "||m|||", "268435456", "1023", "1023",
                                        " 1.00000000000000E+0000"}));
  // Small messages are written together at the end of the run, where the failure shows; the
  // archive is the same as if each had been written alone.
  EXPECT_EQ(File("session.log"),
            "folder Inbox id 0 included\nmessage stored\nmessage stored\nmessage stored\n"
            "message stored\nmessage stored\nfolder Later id 5 included\nmessage stored\n");
  EXPECT_FALSE(Exists("folders.txt"));
}

TEST_F(FaultsE2eTest, DiskFullWhileWritingARecordWithdrawsItsBlock) {
  // Each block is 1036 bytes and each record 1066: the second block fits under the limit of 2100
  // bytes, its record (index at 2138 bytes) does not.
  std::string message = "message 0 Subject: " + std::string(1000, 'S') + "\\r\\n\\r\\n\n";
  Script("a.pst", "folder 1 A\n" + message + message);
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out"}, WithFileSizeLimit(2100));
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err,
            "File error: Cannot write file \"" + dir_ / "out.idx" + "\". File too large\r\n");
  EXPECT_EQ(File("out.xmz").size(), 1036u);
  EXPECT_EQ(File("out.idx").size(), 1069u);
  EXPECT_EQ(File("out.idx"),
            "0\r\n" + Lines({"1", "F00000001", "||" + std::string(1000, 'S') + "|||", "268435461",
                             "1036", "0", " 0.00000000000000E+0000"}));
}

TEST_F(FaultsE2eTest, FoldersMetAfterAWriteFailureAreDeclined) {
  // A session that goes on after the stop flag still gets nothing more into the archive. The big
  // message needs more chunks than the writer has, so the failure of the first is known before it
  // ends.
  std::string big = "Subject: big\\r\\n\\r\\n" + std::string(3 << 20, 'x');
  Script("a.pst", "log " + dir_ / "session.log" +
                      "\nignore-stop\nfolder 1 A\n"
                      "message 0 Subject: small\\r\\n\\r\\n\nmessage 0 " +
                      big +
                      "\nmessage 0 Subject: small again\\r\\n\\r\\n\nfolder 1 B\nmessage 0 "
                      "Subject: b\\r\\n\\r\\n\n");
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out"}, WithFileSizeLimit(2500));
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(File("session.log"),
            "folder A id 5 included\nmessage stored\nmessage stop\nmessage stop\n"
            "folder B id -1 left out\n");
  EXPECT_EQ(File("out.xmz"), "FROM: \r\nRCPT: mailbox\r\nSubject: small\r\n\r\n");
  EXPECT_EQ(run.out.find("\"B\""), std::string::npos) << run.out;
}

TEST_F(FaultsE2eTest, IndexThatCannotTakeItsFirstLineFailsTheRun) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  ASSERT_EQ(symlink("/dev/full", (dir_ / "out.idx").c_str()), 0);
  Script("a.pst", "folder 1 F\n");
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "File error: Cannot write file \"" + dir_ / "out.idx" +
                         "\". No space left on device\r\n");
}

TEST_F(FaultsE2eTest, OutputNamingThePstIsRefusedBeforeAnythingIsWritten) {
  Script("mail.xmz", "folder 1 F\n");
  ProcessOutput run = Run({"-s", "mail.xmz", "-d", "mail"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.err, "Invalid parameters: The data file \"" + dir_ / "mail.xmz" +
                         "\" names the same file as the PST file \"" + dir_ / "mail.xmz" +
                         "\"; nothing was written.\r\n");
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(File("mail.xmz"), "folder 1 F\n");
  EXPECT_FALSE(Exists("mail.idx"));
}

TEST_F(FaultsE2eTest, FolderListThatIsALinkToThePstIsRefused) {
  Script("a.pst", "folder 1 F\n");
  ASSERT_EQ(link((dir_ / "a.pst").c_str(), (dir_ / "list.txt").c_str()), 0);
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out", "-f", "list.txt"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_NE(run.err.find("folder-list file \"" + dir_ / "list.txt" + "\""), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("PST file \"" + dir_ / "a.pst" + "\""), std::string::npos) << run.err;
  EXPECT_EQ(File("a.pst"), "folder 1 F\n");
  EXPECT_FALSE(Exists("out.xmz"));
}

TEST_F(FaultsE2eTest, FolderListThatIsTheIndexFileIsRefused) {
  Script("a.pst", "folder 1 F\n");
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out", "-f", "./out.idx"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.err,
            "Invalid parameters: The folder-list file \"./out.idx\" names the same file as "
            "the index file \"" +
                dir_ / "out.idx" + "\"; nothing was written.\r\n");
  EXPECT_FALSE(Exists("out.xmz"));
}

TEST_F(FaultsE2eTest, DanglingLinksAreFollowedToTheFileTheyWouldCreate) {
  Script("a.pst", "folder 1 F\n");
  // list.txt -> step -> out.idx, none of which exists yet.
  ASSERT_EQ(symlink("step", (dir_ / "list.txt").c_str()), 0);
  ASSERT_EQ(symlink((dir_ / "out.idx").c_str(), (dir_ / "step").c_str()), 0);
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out", "-f", "list.txt"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.err, "Invalid parameters: The folder-list file \"" + dir_ / "list.txt" +
                         "\" names the same file as the index file \"" + dir_ / "out.idx" +
                         "\"; nothing was written.\r\n");
  EXPECT_FALSE(Exists("out.xmz"));
  EXPECT_FALSE(Exists("out.idx"));

  // The index file as a dangling link to the data file, through a folder link.
  ASSERT_EQ(mkdir((dir_ / "real").c_str(), 0755), 0);
  ASSERT_EQ(symlink("real", (dir_ / "via").c_str()), 0);
  ASSERT_EQ(symlink("../via/q.xmz", (dir_ / "real/q.idx").c_str()), 0);
  run = Run({"-s", "a.pst", "-d", "via/q"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.err,
            "Invalid parameters: The index file \"via/q.idx\" names the same file as the "
            "data file \"via/q.xmz\"; nothing was written.\r\n");
  EXPECT_FALSE(Exists("real/q.xmz"));
}

TEST_F(FaultsE2eTest, TraceFileNamingTheInputOrAnOutputIsRefused) {
  Script("a.pst", "folder 1 F\n");
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out"}, WithEnvironment("PST2XMZ_TRACE", "a.pst"));
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.err,
            "Invalid parameters: The trace file \"a.pst\" names the same file as the PST "
            "file \"" +
                dir_ / "a.pst" + "\"; nothing was written.\r\n");
  EXPECT_EQ(File("a.pst"), "folder 1 F\n");
  EXPECT_FALSE(Exists("out.xmz"));

  for (const char* output : {"out.xmz", "./out.idx", "folders.txt"}) {
    run = Run({"-s", "a.pst", "-d", "out", "-f", "folders.txt"},
              WithEnvironment("PST2XMZ_TRACE", output));
    EXPECT_EQ(run.exit_code, 2) << output;
    EXPECT_NE(run.err.find("The trace file \"" + std::string(output) + "\" names the same file as"),
              std::string::npos)
        << run.err;
  }
  ASSERT_EQ(symlink("out.idx", (dir_ / "trace.log").c_str()), 0);
  run = Run({"-s", "a.pst", "-d", "out"}, WithEnvironment("PST2XMZ_TRACE", "trace.log"));
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_FALSE(Exists("out.xmz"));

  // Standard error and a file of its own are fine.
  for (const char* trace : {"-", "trace.txt"}) {
    run = Run({"-s", "a.pst", "-d", "out"}, WithEnvironment("PST2XMZ_TRACE", trace));
    EXPECT_EQ(run.exit_code, 0) << trace << run.err;
  }
}

}  // namespace
}  // namespace driver_test
