// Archive names from the destination, and recognising outputs that name the input or each other.
#include "driver/output_paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "driver/export_error.h"
#include "tests/support/temp_dir.h"
#include "tests/support/whole_file.h"

namespace driver {
namespace {

using test_support::TempDir;
using test_support::WriteWholeFile;

TEST(ReplaceExtension, ReplacesOrAppends) {
  EXPECT_EQ(ReplaceExtension("out/archive.dat", ".xmz"), "out/archive.xmz");
  EXPECT_EQ(ReplaceExtension("out/archive", ".xmz"), "out/archive.xmz");
  EXPECT_EQ(ReplaceExtension("./out/archive", ".idx"), "./out/archive.idx");
  EXPECT_EQ(ReplaceExtension("my.dir/archive", ".idx"), "my.dir/archive.idx");
  EXPECT_EQ(ReplaceExtension("a.b.c", ".xmz"), "a.b.xmz");
  EXPECT_EQ(ReplaceExtension("archive.", ".xmz"), "archive.xmz");
  EXPECT_EQ(ReplaceExtension("", ".xmz"), ".xmz");
  EXPECT_EQ(ReplaceExtension("/cwd/", ".xmz"), "/cwd/.xmz");
}

TEST(ReplaceExtension, ColonAndBackslashDoNotEndTheName) {
  EXPECT_EQ(ReplaceExtension("c:archive.dat", ".xmz"), "c:archive.xmz");
  EXPECT_EQ(ReplaceExtension("a.b\\archive", ".xmz"), "a.xmz");  // ".b\\archive" is the extension
}

TEST(SameFile, ExistingFilesCompareByIdentity) {
  TempDir dir;
  WriteWholeFile(dir / "a.pst", "x");
  WriteWholeFile(dir / "b.pst", "x");
  ASSERT_EQ(link((dir / "a.pst").c_str(), (dir / "hard.pst").c_str()), 0);
  ASSERT_EQ(symlink((dir / "a.pst").c_str(), (dir / "soft.pst").c_str()), 0);
  EXPECT_TRUE(SameFile(dir / "a.pst", dir / "hard.pst"));
  EXPECT_TRUE(SameFile(dir / "a.pst", dir / "soft.pst"));
  // A path through a missing folder cannot reach the file, whatever it reads like.
  EXPECT_FALSE(SameFile(dir / "a.pst", dir.path() + "/x/../a.pst"));
  EXPECT_TRUE(SameFile(dir / "a.pst", dir.path() + "//a.pst"));
  EXPECT_FALSE(SameFile(dir / "a.pst", dir / "b.pst"));
}

TEST(SameFile, MissingFilesCompareByNormalisedPath) {
  TempDir dir;
  ASSERT_EQ(mkdir((dir / "sub").c_str(), 0755), 0);
  EXPECT_TRUE(SameFile(dir / "new.xmz", dir.path() + "/sub/../new.xmz"));
  EXPECT_TRUE(SameFile(dir / "new.xmz", dir.path() + "/./new.xmz"));
  EXPECT_FALSE(SameFile(dir / "new.xmz", dir / "new.idx"));
}

TEST(SameFile, LinksAreFollowedToFilesThatDoNotExistYet) {
  TempDir dir;
  ASSERT_EQ(mkdir((dir / "sub").c_str(), 0755), 0);
  ASSERT_EQ(symlink("new.idx", (dir / "link").c_str()), 0);
  ASSERT_EQ(symlink("../link", (dir / "sub/up").c_str()), 0);
  ASSERT_EQ(symlink((dir / "sub").c_str(), (dir / "folder").c_str()), 0);
  EXPECT_TRUE(SameFile(dir / "link", dir / "new.idx"));
  EXPECT_TRUE(SameFile(dir / "sub/up", dir / "new.idx"));
  // ".." after a folder link climbs from the link's target, as the system does.
  EXPECT_TRUE(SameFile(dir / "folder/../new.idx", dir / "new.idx"));
  EXPECT_TRUE(SameFile(dir / "folder/up", dir / "new.idx"));
  EXPECT_FALSE(SameFile(dir / "link", dir / "new.xmz"));
  // Links that lead to each other end the resolution instead of looping.
  ASSERT_EQ(symlink("loop2", (dir / "loop1").c_str()), 0);
  ASSERT_EQ(symlink("loop1", (dir / "loop2").c_str()), 0);
  EXPECT_FALSE(SameFile(dir / "loop1", dir / "new.idx"));
}

TEST(SameFile, RelativePathsAreTakenFromTheCurrentDirectory) {
  TempDir dir;
  std::string previous = std::filesystem::current_path();
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  EXPECT_TRUE(SameFile("new.xmz", dir / "new.xmz"));
  ASSERT_EQ(chdir(previous.c_str()), 0);
}

TEST(CheckOutputsDistinct, RefusesAnOutputThatIsThePstFile) {
  TempDir dir;
  WriteWholeFile(dir / "mail.xmz", "pst");
  ExportPaths paths = MakeExportPaths(dir / "mail.xmz", dir / "mail", std::nullopt);
  try {
    CheckOutputsDistinct(paths);
    FAIL() << "no error";
  } catch (const ExportError& error) {
    EXPECT_EQ(error.exit_code(), kExitInvalidParameters);
    std::string text = error.what();
    EXPECT_NE(text.find("data file \"" + dir / "mail.xmz" + "\""), std::string::npos) << text;
    EXPECT_NE(text.find("PST file \"" + dir / "mail.xmz" + "\""), std::string::npos) << text;
  }
}

TEST(CheckOutputsDistinct, RefusesAFolderListThatIsAnArchiveFile) {
  TempDir dir;
  ExportPaths paths = MakeExportPaths(dir / "mail.pst", dir / "out", dir / "out.idx");
  EXPECT_THROW(CheckOutputsDistinct(paths), ExportError);
}

TEST(CheckOutputsDistinct, AcceptsDistinctFilesAndAnEmptyPstPath) {
  TempDir dir;
  EXPECT_NO_THROW(
      CheckOutputsDistinct(MakeExportPaths(dir / "mail.pst", dir / "out", dir / "f.txt")));
  EXPECT_NO_THROW(CheckOutputsDistinct(MakeExportPaths("", dir / "out", std::nullopt)));
}

}  // namespace
}  // namespace driver
