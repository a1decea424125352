// The whole program on the writer's header cases, in a Unicode and an ANSI file: every message
// names its sender, addresses in angle brackets are Internet addresses, no header line exceeds 998
// octets, the index subject is the decoded Subject, and attachments keep their bytes and names.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/e2e/program_run.h"
#include "tools/pstgen/sample_store.h"
#include "tools/pstwriter/pst_builder.h"

namespace e2e_test {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    out.push_back(text.substr(start, end - start));
  }
  return out;
}

std::string Subject(const IndexRecord& record) {
  const std::size_t first = record.summary.find('|');
  const std::size_t second = record.summary.find('|', first + 1);
  return record.summary.substr(second + 1, record.summary.size() - second - 4);
}

// The writer's header cases in an Inbox, and an empty mail folder when a name is given.
void WriteHeaderFile(const std::string& file, pstwriter::FileFormat format,
                     const std::string& other_folder = "") {
  pstwriter::PstBuilder builder(file, {.format = format});
  const auto inbox = builder.AddFolder(builder.ipm_subtree(), "Inbox");
  builder.SetSpecialFolder(pstwriter::SpecialFolder::kInbox, inbox);
  if (!other_folder.empty()) builder.AddFolder(builder.ipm_subtree(), other_folder);
  pstgen::WriteHeaderCases(builder, inbox, 0);
  builder.Finish();
}

class HeaderExport : public ::testing::TestWithParam<pstwriter::FileFormat> {};

TEST_P(HeaderExport, SynthesisedHeadersReadRightly) {
  const TempDir temp;
  const std::string& dir = temp.path();
  const std::string file = dir + "/headers.pst";
  WriteHeaderFile(file, GetParam());
  const ProcessOutput run =
      RunProgram({"-s", file, "-d", dir + "/out"}, {{"TZ", "America/New_York"}});
  ASSERT_EQ(run.exit_code, 0) << run.out;
  const Index index = ReadIndex(dir + "/out.idx");
  ASSERT_TRUE(index.ok);
  ASSERT_EQ(index.records.size(), 9u);
  const std::string data = ReadWholeFile(dir + "/out.xmz");
  std::vector<std::string> subjects;
  for (const IndexRecord& record : index.records) {
    const std::string block = data.substr(std::stoull(record.offset), std::stoull(record.length));
    SCOPED_TRACE(block.substr(0, 600));
    EXPECT_NE(record.summary.front(), '|') << "no sender in the index";
    EXPECT_NE(block.find("\r\nFrom: "), std::string::npos);
    EXPECT_EQ(block.find("<>"), std::string::npos);
    EXPECT_EQ(block.find("</O="), std::string::npos);
    for (const std::string& line : Lines(block)) EXPECT_LE(line.size(), 998u);
    subjects.push_back(Subject(record));
  }
  EXPECT_EQ(subjects[4], "Unbroken " + std::string(1200, 'z') + " end");
  EXPECT_EQ(subjects[5], "est\xC3\xA1gio na DITEC");
  const std::string all = data;
  EXPECT_NE(all.find("From: \"Chef \\\"The Boss\\\" O'Neil\" <chef@example.com>\r\n"),
            std::string::npos);
  EXPECT_NE(all.find("From: \"Back\\\\slash Sender\" <bss@example.com>\r\n"), std::string::npos);
  EXPECT_NE(
      all.find("=?utf-8?Q?=C3=89mile_Zola?= <ez@example.com>\r\nCC: \"Smith, \\\"Jo\\\"\":;\r\n"),
      std::string::npos);
  EXPECT_NE(
      all.find(
          "Content-Transfer-Encoding: 7bit\r\n\r\nReporting-MTA: dns; mx.example.com\r\n\r\n"
          "Final-Recipient: rfc822; x@example.com\r\nAction: failed\r\nStatus: 5.1.1\r\n\r\n--"),
      std::string::npos);
  EXPECT_NE(all.find("Content-Type: application/octet-stream; x-original-type=\"message/rfc822\";"),
            std::string::npos);
  EXPECT_NE(all.find("filename=\"say \\\"hi\\\" \\\\ now.txt\""), std::string::npos);
  EXPECT_NE(all.find("filename*=utf-8''%C3%9Cbersicht.txt"), std::string::npos);
  EXPECT_NE(all.find("message/external-body; access-type=URL;"), std::string::npos);
  EXPECT_NE(all.find("message/external-body; access-type=local-file;"), std::string::npos);
  EXPECT_NE(all.find("filename=\"kept.txt\""), std::string::npos);
  // Windows takes the zone from the system's settings, not from TZ.
#ifndef _WIN32
  if (std::filesystem::exists("/usr/share/zoneinfo/America/New_York")) {
    EXPECT_NE(all.find("Date: Mon, 01 Jan 2024 05:00:00 -0500\r\n"), std::string::npos);
  }
#endif
}

// In another ANSI code page only the index and the folder list change: the mail library hands out
// text in it, the composer turns it back into the UTF-8 its labels promise.
TEST_P(HeaderExport, AnsiCodePageReachesTheIndexAndFolderListOnly) {
#ifdef _WIN32
  GTEST_SKIP() << "the ANSI code page is the system's; .ci/wine_e2e.sh exports at 1252 and 65001";
#endif
  // An ANSI file holds no CJK letter; in 1252 it becomes "?".
  const bool unicode = GetParam() == pstwriter::FileFormat::kUnicode;
  const std::string folder_utf8 = std::string(
                                      "Entr\xC3\xA9"
                                      "e \xE2\x82\xAC") +
                                  (unicode ? " \xE6\x97\xA5" : "");
  const std::string folder_1252 = std::string(
                                      "Entr\xE9"
                                      "e \x80") +
                                  (unicode ? " ?" : "");
  const TempDir temp;
  const std::string& dir = temp.path();
  const std::string file = dir + "/headers.pst";
  WriteHeaderFile(file, GetParam(), folder_utf8);
  const std::map<std::string, std::string> clock = {{"PST2XMZ_FIXED_CLOCK", "1700000000"}};
  std::map<std::string, std::string> ansi = clock;
  ansi["PST2XMZ_ANSI_CODE_PAGE"] = "1252";
  const ProcessOutput utf8_run =
      RunProgram({"-s", file, "-d", dir + "/utf8", "-f", dir + "/utf8.folders"}, clock);
  const ProcessOutput ansi_run =
      RunProgram({"-s", file, "-d", dir + "/ansi", "-f", dir + "/ansi.folders"}, ansi);
  ASSERT_EQ(utf8_run.exit_code, 0) << utf8_run.out;
  ASSERT_EQ(ansi_run.exit_code, 0) << ansi_run.out;
  EXPECT_EQ(ReadWholeFile(dir + "/ansi.xmz"), ReadWholeFile(dir + "/utf8.xmz"));
  EXPECT_NE(ReadWholeFile(dir + "/ansi.folders").find("=5," + folder_1252 + "\r\n"),
            std::string::npos);
  EXPECT_NE(ansi_run.out.find("to folder \"" + folder_1252 + "\"\r\n"), std::string::npos)
      << ansi_run.out;
  EXPECT_NE(ReadWholeFile(dir + "/utf8.folders").find("=5," + folder_utf8 + "\r\n"),
            std::string::npos);
  const Index utf8_index = ReadIndex(dir + "/utf8.idx");
  const Index ansi_index = ReadIndex(dir + "/ansi.idx");
  ASSERT_TRUE(utf8_index.ok && ansi_index.ok);
  ASSERT_EQ(ansi_index.records.size(), 9u);
  EXPECT_EQ(Subject(utf8_index.records[5]), "est\xC3\xA1gio na DITEC");
  EXPECT_EQ(Subject(ansi_index.records[5]), "est\xE1gio na DITEC");
  for (std::size_t i = 0; i < ansi_index.records.size(); ++i) {
    EXPECT_EQ(ansi_index.records[i].offset, utf8_index.records[i].offset) << i;
    EXPECT_EQ(ansi_index.records[i].length, utf8_index.records[i].length) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, HeaderExport,
                         ::testing::Values(pstwriter::FileFormat::kUnicode,
                                           pstwriter::FileFormat::kAnsi));

}  // namespace
}  // namespace e2e_test
