// Folder ids: fixed ids by folder type and name, new ids from 5, the folder list and its file.
#include "driver/folder_list.h"

#include <gtest/gtest.h>

#include "driver/export_error.h"
#include "libs/import_session/import_pst.h"
#include "tests/driver/output_capture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/whole_file.h"

namespace driver {
namespace {

using test_support::ReadWholeFile;
using test_support::TempDir;

class FolderIdsTest : public testing::Test {
 protected:
  std::int32_t Assign(std::string_view name, std::uint8_t type = import_session::kFolderTypeMail) {
    std::int32_t id = -7;
    bool include = false;
    folders_.AssignFolderId(0, name, type, 12, id, include);
    EXPECT_TRUE(include);
    return id;
  }

  driver_test::OutputCapture console_;
  Console console_lines_{console_.file()};
  FolderIds folders_{console_lines_};
};

TEST_F(FolderIdsTest, StartsWithTheFiveDefaultEntries) {
  EXPECT_EQ(folders_.NextFolderId(), 5);
  EXPECT_EQ(folders_.FolderList(),
            (std::vector<std::string>{"10=0,INBOX", "11=1,Sent Items", "12=2,Drafts", "13=3,Trash",
                                      "14=4,Junk E-mail"}));
}

TEST_F(FolderIdsTest, SpecialFoldersGetTheirIdsByTypeWhateverTheirName) {
  EXPECT_EQ(Assign("Posteingang", import_session::kFolderTypeInbox), 0);
  EXPECT_EQ(Assign("Gesendet", import_session::kFolderTypeSentItems), 1);
  EXPECT_EQ(Assign("Drafts", import_session::kFolderTypeDeletedItems), 3);
  EXPECT_EQ(folders_.NextFolderId(), 5);
  EXPECT_EQ(folders_.FolderList().size(), 5u);
  EXPECT_EQ(console_.text(),
            "Assigning ID 0 to folder \"Posteingang\"\r\n"
            "Assigning ID 1 to folder \"Gesendet\"\r\n"
            "Assigning ID 3 to folder \"Drafts\"\r\n");
}

TEST_F(FolderIdsTest, DraftsAndJunkAreRecognisedByNameIgnoringAsciiCase) {
  EXPECT_EQ(Assign("drafts"), 2);
  EXPECT_EQ(Assign("DRAFTS"), 2);
  EXPECT_EQ(Assign("Junk E-mail"), 4);
  EXPECT_EQ(Assign("junk e-mail"), 4);
  EXPECT_EQ(folders_.FolderList().size(), 5u);
}

TEST_F(FolderIdsTest, OnlyWholeNamesWithAsciiCaseFoldingMatch) {
  EXPECT_EQ(Assign("Drafts "), 5);
  EXPECT_EQ(Assign("Draft"), 6);
  EXPECT_EQ(Assign("Draft\xC5\xBF"), 7);  // long s, which Unicode folding would turn into "s"
  EXPECT_EQ(Assign("Junk E-Mails"), 8);
}

TEST_F(FolderIdsTest, OrdinaryFoldersNamedLikeSpecialOnesGetNewIds) {
  EXPECT_EQ(Assign("Inbox"), 5);
  EXPECT_EQ(Assign("Sent Items"), 6);
  EXPECT_EQ(Assign("Trash"), 7);
}

TEST_F(FolderIdsTest, NewFoldersAreNumberedInOrderAndListedWithTheCountLine) {
  EXPECT_EQ(Assign("Projects"), 5);
  EXPECT_EQ(Assign("Archive"), 6);
  EXPECT_EQ(Assign("Projects"), 7);  // same name elsewhere in the tree
  folders_.Finish();
  EXPECT_EQ(folders_.FolderList(),
            (std::vector<std::string>{"#=8", "10=0,INBOX", "11=1,Sent Items", "12=2,Drafts",
                                      "13=3,Trash", "14=4,Junk E-mail", "15=5,Projects",
                                      "16=6,Archive", "17=7,Projects"}));
}

TEST_F(FolderIdsTest, NamesAreListedAsTheyStand) {
  EXPECT_EQ(Assign("a=b,c"), 5);
  EXPECT_EQ(folders_.FolderList().back(), "15=5,a=b,c");
}

// A name from the file never breaks a line of the folder list or of the console.
TEST_F(FolderIdsTest, LineBreaksAndNulInNamesBecomeBlanks) {
  EXPECT_EQ(Assign(std::string_view("Two\r\nlines\0x", 12)), 5);
  EXPECT_EQ(folders_.FolderList().back(), "15=5,Two  lines x");
  EXPECT_EQ(console_.text(), "Assigning ID 5 to folder \"Two  lines x\"\r\n");
}

TEST_F(FolderIdsTest, DeclinedFoldersGetMinusOneAndNoLine) {
  folders_.Decline();
  std::int32_t id = 0;
  bool include = true;
  folders_.AssignFolderId(0, "Projects", import_session::kFolderTypeMail, 3, id, include);
  EXPECT_EQ(id, -1);
  EXPECT_FALSE(include);
  EXPECT_EQ(folders_.NextFolderId(), 5);
  EXPECT_EQ(console_.text(), "");
}

TEST_F(FolderIdsTest, SaveWritesEveryLineWithCrLfAndReplacesTheFile) {
  TempDir dir;
  test_support::WriteWholeFile(dir / "folders.txt",
                               "old content that is longer than the new one....");
  Assign("Travel");
  folders_.Finish();
  folders_.Save(dir / "folders.txt");
  EXPECT_EQ(ReadWholeFile(dir / "folders.txt"),
            "#=6\r\n10=0,INBOX\r\n11=1,Sent Items\r\n12=2,Drafts\r\n13=3,Trash\r\n"
            "14=4,Junk E-mail\r\n15=5,Travel\r\n");
}

TEST_F(FolderIdsTest, SaveIntoAMissingFolderNamesTheFileAndTheReason) {
  TempDir dir;
  try {
    folders_.Save(dir / "missing/folders.txt");
    FAIL() << "no error";
  } catch (const ExportError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file \"" + dir / "missing/folders.txt" +
                                             "\". No such file or directory");
  }
}

}  // namespace
}  // namespace driver
