// The archive and folder-list files the built program writes, compared byte for byte, and the exit
// codes for a complete, a partial and a failed export.
#include <gtest/gtest.h>

#include "tests/driver/e2e_fixture.h"

namespace driver_test {
namespace {

using ArchiveE2eTest = ExportE2eTest;

const std::string kEnvelope = "FROM: \r\nRCPT: mailbox\r\n";

// A message text of exactly `size` bytes, written into the script with escapes.
std::string MessageText(const std::string& subject, std::size_t size) {
  std::string text = "From: ann@x.org\r\nTo: bob@y.org\r\nSubject: " + subject + "\r\n\r\n";
  text.resize(size, 'z');
  return text;
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\\')
      out += "\\\\";
    else if (c == '\0')
      out += "\\0";
    else
      out += c;
  }
  return out;
}

std::string Record(int number, const std::string& key, const std::string& summary, int folder_key,
                   std::size_t length, std::size_t offset, const std::string& time) {
  return Lines({std::to_string(number), key, summary, std::to_string(folder_key),
                std::to_string(length), std::to_string(offset), time});
}

TEST_F(ArchiveE2eTest, PstWithoutMailGivesAnEmptyDataFileAndTheFirstIndexLine) {
  Script("a.pst", "folder 2 Inbox\nfolder 3 Sent Items\nfolder 4 Deleted Items\n");
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out", "-f", "folders.txt"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(File("out.xmz"), "");
  EXPECT_EQ(File("out.idx"), "0\r\n");
  EXPECT_NE(run.out.find(Lines({"Assigning ID 0 to folder \"Inbox\"",
                                "Assigning ID 1 to folder \"Sent Items\"",
                                "Assigning ID 3 to folder \"Deleted Items\"", "...done"})),
            std::string::npos)
      << run.out;
  EXPECT_EQ(File("folders.txt"), Lines({"#=5", "10=0,INBOX", "11=1,Sent Items", "12=2,Drafts",
                                        "13=3,Trash", "14=4,Junk E-mail"}));
}

TEST_F(ArchiveE2eTest, TwoMessagesGiveTwoBlocksAndTwoRecords) {
  const std::string first = MessageText("One", 100), second = MessageText("Two", 250);
  Script("a.pst", "folder 2 Inbox\nmessage 40533.5 " + Escaped(first) + "\nfolder 1 Projects\n" +
                      "message -1.5 " + Escaped(second) + "\n");
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(File("out.xmz"), kEnvelope + first + kEnvelope + second);
  EXPECT_EQ(File("out.xmz").size(), 396u);
  EXPECT_EQ(File("out.idx"), "0\r\n" +
                                 Record(1, "F00000001", "ann@x.org|bob@y.org|One|||", 268435456,
                                        123, 0, " 4.05335000000000E+0004") +
                                 Record(2, "F00000002", "ann@x.org|bob@y.org|Two|||", 268435461,
                                        273, 123, "-1.50000000000000E+0000"));
  EXPECT_FALSE(Exists("folders.txt"));
}

TEST_F(ArchiveE2eTest, MessagesOfDraftsAndJunkFoldersCarryTheirFixedFolderKeys) {
  Script("a.pst",
         "folder 1 drafts\nmessage 0 Subject: d\\r\\n\\r\\n\nfolder 1 Junk E-mail\n"
         "message 0 Subject: j\\r\\n\\r\\n\n");
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out", "-f", "folders.txt"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  std::string index = File("out.idx");
  EXPECT_NE(index.find("||d|||\r\n268435458\r\n"), std::string::npos) << index;
  EXPECT_NE(index.find("||j|||\r\n268435460\r\n"), std::string::npos) << index;
  EXPECT_EQ(File("folders.txt").substr(0, 5), "#=5\r\n");
}

TEST_F(ArchiveE2eTest, FolderListNamesEveryNewFolderInWalkOrder) {
  Script("a.pst",
         "folder 2 Inbox\nfolder 1 Projects\nfolder 1 Archive\nfolder 1 Travel\n"
         "folder 1 Projects\n");
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out", "-f", "folders.txt"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(File("folders.txt"), Lines({"#=9", "10=0,INBOX", "11=1,Sent Items", "12=2,Drafts",
                                        "13=3,Trash", "14=4,Junk E-mail", "15=5,Projects",
                                        "16=6,Archive", "17=7,Travel", "18=8,Projects"}));
}

TEST_F(ArchiveE2eTest, SummaryKeepsBarsAndBlanksOutLineBreaksAndNulBytes) {
  // The encoded word decodes to "a|b", CR, LF, "c", NUL, "d".
  Script("a.pst", "folder 1 F\nmessage 0 Subject: =?utf-8?Q?a|b=0D=0Ac=00d?=\\r\\n\\r\\n\n");
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(File("out.idx").substr(0, 32), "0\r\n1\r\nF00000001\r\n||a|b  c d|||\r\n");
}

TEST_F(ArchiveE2eTest, SummaryShowsDisplayNamesOrAddressesOfSenderAndToRecipients) {
  Script("a.pst",
         "folder 1 F\nmessage 0 From: Ann <ann@x.org>\\r\\nTo: Bob <bob@y.org>, carl@z.org"
         "\\r\\nCc: dora@w.org\\r\\nSubject: Plans\\r\\n\\r\\nbody\n");
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(File("out.idx").find("\r\nAnn|Bob, carl@z.org|Plans|||\r\n"), std::string::npos)
      << File("out.idx");
}

TEST_F(ArchiveE2eTest, MessageWithoutHeaderFieldsHasAnEmptySummary) {
  Script("a.pst", "folder 1 F\nmessage 0 \\r\\njust a body\\r\\n\n");
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(File("out.idx").find("\r\nF00000001\r\n|||||\r\n"), std::string::npos);
}

TEST_F(ArchiveE2eTest, MessageTextIsStoredByteForByte) {
  std::string text = "Subject: bin\r\n\r\n";
  for (int c = 0; c < 256; ++c) text.push_back(static_cast<char>(c));
  WriteWholeFile(dir_ / "message.eml", text);
  Script("a.pst", "folder 1 F\nmessage-file 2 " + dir_ / "message.eml" + "\n");
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(File("out.xmz"), kEnvelope + text);
}

TEST_F(ArchiveE2eTest, ExistingArchiveFilesAreReplaced) {
  WriteWholeFile(dir_ / "out.xmz", std::string(5000, 'o'));
  WriteWholeFile(dir_ / "out.idx", std::string(5000, 'o'));
  Script("a.pst", "folder 1 F\n");
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(File("out.xmz"), "");
  EXPECT_EQ(File("out.idx"), "0\r\n");
}

TEST_F(ArchiveE2eTest, WhatWasNotExportedIsListedAndTheExitCodeIsThree) {
  Script("a.pst",
         "folder 2 Inbox\nmessage 0 Subject: kept\\r\\n\\r\\n\n"
         "skipped 2 Inbox|the message could not be composed\n"
         "skipped 1 Projects/Old|the message is damaged\n"
         "unopened Projects/Broken|the folder is damaged\n"
         "top-messages 3\n");
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out"});
  EXPECT_EQ(run.exit_code, 3);
  EXPECT_NE(run.out.find("...done\r\nCompleted import\r\n"), std::string::npos) << run.out;
  EXPECT_EQ(
      run.err,
      Lines({"Not exported: 6 messages and 1 folder",
             "  \"Inbox\": 2 messages skipped: the message could not be composed",
             "  \"Projects/Old\": 1 message skipped: the message is damaged",
             "  \"Projects/Broken\": the folder could not be opened: the folder is damaged",
             "  top of the folder tree: 3 messages lying directly in the top folder, which is "
             "never exported"}));
  EXPECT_NE(File("out.idx").find("||kept|||"), std::string::npos);
}

TEST_F(ArchiveE2eTest, FailedSessionEndsWithExitCodeOneAndItsErrorText) {
  Script("a.pst", "result 80040111 the file is password-protected\n");
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out", "-f", "folders.txt"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "Import error: Cannot export \"" + dir_ / "a.pst" +
                         "\": the file is password-protected\r\n");
  EXPECT_EQ(run.out.find("Completed import"), std::string::npos) << run.out;
  EXPECT_EQ(File("out.idx"), "0\r\n");
}

TEST_F(ArchiveE2eTest, FailedSessionWithoutTextIsDescribedByItsCode) {
  Script("a.pst", "result 8004011B\n");
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "Import error: Cannot export \"" + dir_ / "a.pst" +
                         "\": the file is damaged (0x8004011B)\r\n");
}

TEST_F(ArchiveE2eTest, MissingPstFileFailsTheRun) {
  ProcessOutput run = Run({"-s", "missing.pst", "-d", "out"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("\"" + dir_ / "missing.pst" + "\""), std::string::npos) << run.err;
}

TEST_F(ArchiveE2eTest, SuccessWarningsFromTheSessionStillCountAsSuccess) {
  Script("a.pst", "folder 1 F\nresult 00040380\n");
  ProcessOutput run = Run({"-s", "a.pst", "-d", "out"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("Completed import"), std::string::npos);
}

}  // namespace
}  // namespace driver_test
