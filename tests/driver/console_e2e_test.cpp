// The built program's command line and console: banner, invalid parameters, option forms, file
// names derived from the destination, arguments passed through unchanged.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/driver/e2e_fixture.h"

namespace driver_test {
namespace {

using ConsoleE2eTest = ExportE2eTest;

const std::string kOneMessage = "folder 2 Inbox\nmessage 40533.5 From: a@x\\r\\n\\r\\nbody\\r\\n\n";

TEST_F(ConsoleE2eTest, WithoutArgumentsShowsTheBannerAndCreatesNothing) {
  ProcessOutput run = Run({});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(
      run.out,
      Lines({"PST2XMZ.EXE", "Outlook .PST file to Tolvane .XMZ e-mail export utility",
             "Version 1.02", "Exports the mail of a personal-folders file into a message archive.",
             "", "usage :-", "  pst2xmz -s pstfilename -d destfilename [-f folderfilename]", ""}));
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));
}

TEST_F(ConsoleE2eTest, MissingDestinationIsInvalidParameters) {
  Script("a.pst", kOneMessage);
  ProcessOutput run = Run({"-s", "a.pst"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.out, "invalid parameters\r\n");
  EXPECT_FALSE(Exists(".xmz"));
}

TEST_F(ConsoleE2eTest, MissingPstIsInvalidParameters) {
  ProcessOutput run = Run({"-d", "out", "-f", "folders.txt"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.out, "invalid parameters\r\n");
  EXPECT_FALSE(Exists("out.xmz"));
}

TEST_F(ConsoleE2eTest, AnOptionWithTextAfterItsLetterIsNotTheOption) {
  Script("a.pst", kOneMessage);
  ProcessOutput run = Run({"-s=a.pst", "-d", "out"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.out, "invalid parameters\r\n");
}

TEST_F(ConsoleE2eTest, SlashOptionsInUpperCaseRunTheExportInTheCurrentFolder) {
  Script("a.pst", kOneMessage);
  ProcessOutput run = Run({"/S", "a.pst", "/D", "out"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out,
            Lines({"Reading " + dir_ / "a.pst", "Writing message data to " + dir_ / "out.xmz",
                   "Writing index data to " + dir_ / "out.idx",
                   "Assigning ID 0 to folder \"Inbox\"", "...done", "Completed import"}));
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(File("out.xmz"), "FROM: \r\nRCPT: mailbox\r\nFrom: a@x\r\n\r\nbody\r\n");
}

TEST_F(ConsoleE2eTest, FolderListLineComesAfterDone) {
  Script("a.pst", kOneMessage);
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out", "-F", "list.txt"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("...done\r\nWriting folder list to " + dir_ / "list.txt" +
                         "\r\nCompleted import\r\n"),
            std::string::npos)
      << run.out;
}

TEST_F(ConsoleE2eTest, FirstPstOptionWins) {
  Script("first.pst", "folder 1 First\n");
  Script("second.pst", "folder 1 Second\n");
  ProcessOutput run = Run({"-s", "first.pst", "-s", "second.pst", "-d", "out"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("Reading " + dir_ / "first.pst"), std::string::npos);
  EXPECT_NE(run.out.find("\"First\""), std::string::npos);
  EXPECT_EQ(run.out.find("Second"), std::string::npos);
}

TEST_F(ConsoleE2eTest, DestinationAsLastArgumentGivesBareExtensions) {
  Script("a.pst", kOneMessage);
  ProcessOutput run = Run({"-s", "a.pst", "-d"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("Writing message data to .xmz\r\nWriting index data to .idx\r\n"),
            std::string::npos)
      << run.out;
  EXPECT_TRUE(Exists(".xmz"));
  EXPECT_TRUE(Exists(".idx"));
}

TEST_F(ConsoleE2eTest, EmptyDestinationArgumentIsCompletedToTheCurrentFolder) {
  Script("a.pst", kOneMessage);
  ProcessOutput run = Run({"-s", "a.pst", "-d", ""});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("Writing message data to " + dir_.path() + "/.xmz\r\n"), std::string::npos)
      << run.out;
  EXPECT_TRUE(Exists(".xmz"));
}

TEST_F(ConsoleE2eTest, RelativePathsWithASlashAreUsedUnchanged) {
  ASSERT_EQ(mkdir((dir_ / "sub").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((dir_ / "out.d").c_str(), 0755), 0);
  Script("sub/a.pst", kOneMessage);
  ProcessOutput run = Run({"-s", "sub/a.pst", "-d", "./out.d/archive"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("Reading sub/a.pst\r\nWriting message data to ./out.d/archive.xmz\r\n"),
            std::string::npos)
      << run.out;
  EXPECT_TRUE(Exists("out.d/archive.idx"));
}

TEST_F(ConsoleE2eTest, DestinationExtensionIsReplaced) {
  ASSERT_EQ(mkdir((dir_ / "out").c_str(), 0755), 0);
  Script("a.pst", kOneMessage);
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out/archive.dat"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_TRUE(Exists("out/archive.xmz"));
  EXPECT_TRUE(Exists("out/archive.idx"));
  EXPECT_FALSE(Exists("out/archive.dat"));
}

TEST_F(ConsoleE2eTest, NonAsciiBlanksEqualsSignsAndLongPathsPassThroughUnchanged) {
  std::string folder = "Ärchiv 2024=final";
  for (int i = 0; i < 14; ++i)
    folder += "/Unterordner mit Leerzeichen und Ümlauten " + std::to_string(i);
  ASSERT_TRUE(std::filesystem::create_directories(dir_ / folder));
  ASSERT_GT((dir_ / folder).size(), 600u);
  Script(folder + "/Jörg's mail=1.pst",
         "folder 1 Büro = Arbeit\nmessage 1 Subject: ü\\r\\n\\r\\n\n");
  // Bytes that are not UTF-8 at all pass through too.
  ProcessOutput run = Run({"-s", folder + "/Jörg's mail=1.pst", "-d", folder + "/Ausgabe=1 ä\xFF",
                           "-f", folder + "/Ordner Liste.txt"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("Reading " + folder + "/Jörg's mail=1.pst\r\n"), std::string::npos);
  EXPECT_NE(run.out.find("Assigning ID 5 to folder \"Büro = Arbeit\"\r\n"), std::string::npos);
  EXPECT_NE(run.out.find("Writing index data to " + folder + "/Ausgabe=1 ä\xFF.idx\r\n"),
            std::string::npos);
  EXPECT_TRUE(Exists(folder + "/Ausgabe=1 ä\xFF.xmz"));
  EXPECT_TRUE(Exists(folder + "/Ausgabe=1 ä\xFF.idx"));
  EXPECT_NE(File(folder + "/Ordner Liste.txt").find("15=5,Büro = Arbeit\r\n"), std::string::npos);
}

}  // namespace
}  // namespace driver_test
