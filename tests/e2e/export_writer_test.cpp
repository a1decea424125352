// The whole program on files made by the project's writer, in every file variant: which folders
// and messages reach the archive, with which folder ids and in which order; the index records and
// the blocks of the data file agree byte for byte; text of ANSI files arrives as UTF-8.
#include <gtest/gtest.h>
#include <algorithm>

#include "tests/e2e/program_run.h"
#include "tests/platform_mapilib/file_damage.h"
#include "tools/pstwriter/mapi_tags.h"
#include "tools/pstwriter/message_helpers.h"
#include "tools/pstwriter/pst_builder.h"

namespace e2e_test {
namespace {

namespace tags = pstwriter::tags;
constexpr std::size_t kAttachmentSize = 70000;

pstwriter::Message Mail(const std::string& subject, std::int64_t time) {
  pstwriter::Message m = pstwriter::MakeMail(subject, "Ann", "ann@example.org", time);
  m.recipients.push_back(pstwriter::MakeRecipient(tags::kRecipientTo, "Bob", "bob@example.org"));
  m.props.SetString(tags::kBody, "Body of " + subject + "\r\n");
  return m;
}

// Inbox 2, Sent Items 1, Deleted Items 1, Projects 1 with its subfolder drafts 1 (an IMAP account's
// tree: class "IPF.Imap" in two spellings); the outbox and a calendar hold one item each that is
// not exported; optionally one message in the subtree itself.
std::string WriteFile(const std::string& path, pstwriter::FileFormat format, bool top_message) {
  pstwriter::PstBuilder b(path, {.format = format});
  const auto inbox = b.AddFolder(b.ipm_subtree(), "Inbox");
  const auto sent = b.AddFolder(b.ipm_subtree(), "Sent Items");
  const auto deleted = b.AddFolder(b.ipm_subtree(), "Deleted Items");
  const auto outbox = b.AddFolder(b.ipm_subtree(), "Outbox");
  const auto calendar = b.AddFolder(b.ipm_subtree(), "Calendar", "IPF.Appointment");
  const auto projects = b.AddFolder(b.ipm_subtree(), "Projects", "IPF.Imap");
  const auto drafts = b.AddFolder(projects, "drafts", "ipf.imap");
  b.SetSpecialFolder(pstwriter::SpecialFolder::kInbox, inbox);
  b.SetSpecialFolder(pstwriter::SpecialFolder::kSentItems, sent);
  b.SetSpecialFolder(pstwriter::SpecialFolder::kDeletedItems, deleted);
  b.SetSpecialFolder(pstwriter::SpecialFolder::kOutbox, outbox);
  b.AddMessage(inbox, Mail("Café au lait", 1700000000));
  pstwriter::Message with_file = Mail("With a file", 1700000060);
  with_file.props.SetInt32(tags::kMessageFlags, tags::kMsgFlagRead | 0x10);  // MSGFLAG_HASATTACH
  with_file.attachments.push_back(pstwriter::MakeFileAttachment(
      "report.bin", std::make_shared<pstwriter::PatternSource>(3, kAttachmentSize)));
  b.AddMessage(inbox, with_file);
  b.AddMessage(sent, Mail("Sent away", 1700000120));
  b.AddMessage(deleted, Mail("Thrown out", 1700000180));
  b.AddMessage(outbox, Mail("Waiting in the outbox", 1700000240));
  b.AddMessage(calendar, Mail("Not mail", 1700000300));
  b.AddMessage(projects, Mail("Project plan", 1700000360));
  b.AddMessage(drafts, Mail("Draft idea", 1700000420));
  if (top_message) b.AddMessage(b.ipm_subtree(), Mail("Lost at the top", 1700000480));
  b.Finish();
  return path;
}

std::string Base64(const pstwriter::Bytes& bytes) {
  static const char* k = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i + 3 <= bytes.size(); i += 3) {
    const unsigned v =
        (unsigned(bytes[i]) << 16) | (unsigned(bytes[i + 1]) << 8) | unsigned(bytes[i + 2]);
    for (int s = 18; s >= 0; s -= 6) out += k[(v >> s) & 63];
  }
  return out;
}

class WriterExport : public ::testing::TestWithParam<pstwriter::FileFormat> {};

TEST_P(WriterExport, MailFoldersAreExportedInWalkOrderWithTheirIds) {
  const TempDir temp;
  const std::string& dir = temp.path();
  const std::string pst = WriteFile(dir + "/mail.pst", GetParam(), false);
  const ProcessOutput run = RunProgram({"-s", pst, "-d", dir + "/out", "-f", dir + "/out.folders"});
  ASSERT_EQ(run.exit_code, 0) << run.out;
  const Index index = ReadIndex(dir + "/out.idx");
  ASSERT_TRUE(index.ok);
  ASSERT_EQ(index.records.size(), 6u) << run.out;
  // Without transport headers the sender field is synthesised from the sender properties.
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"Ann|Bob|Café au lait|||", "268435456"}, {"Ann|Bob|With a file|||", "268435456"},
      {"Ann|Bob|Sent away|||", "268435457"},    {"Ann|Bob|Thrown out|||", "268435459"},
      {"Ann|Bob|Project plan|||", "268435461"}, {"Ann|Bob|Draft idea|||", "268435458"}};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(index.records[i].number, std::to_string(i + 1));
    EXPECT_EQ(index.records[i].summary, expected[i].first);
    EXPECT_EQ(index.records[i].folder_key, expected[i].second);
  }
  EXPECT_EQ(index.records[5].key, "F00000006");
  const std::string folders = ReadWholeFile(dir + "/out.folders");
  EXPECT_EQ(folders.substr(0, 5), "#=6\r\n");
  EXPECT_NE(folders.find("15=5,Projects\r\n"), std::string::npos) << folders;
  EXPECT_EQ(folders.find("drafts"), std::string::npos);
}

TEST_P(WriterExport, IndexRecordsLocateWholeBlocksOfTheDataFile) {
  const TempDir temp;
  const std::string& dir = temp.path();
  const std::string pst = WriteFile(dir + "/mail.pst", GetParam(), false);
  ASSERT_EQ(RunProgram({"-s", pst, "-d", dir + "/out"}).exit_code, 0);
  const std::string data = ReadWholeFile(dir + "/out.xmz");
  const Index index = ReadIndex(dir + "/out.idx");
  ASSERT_TRUE(index.ok);
  std::size_t next = 0;
  for (const IndexRecord& record : index.records) {
    const std::size_t offset = std::stoul(record.offset);
    const std::size_t length = std::stoul(record.length);
    EXPECT_EQ(offset, next);
    ASSERT_LE(offset + length, data.size());
    const std::string block = data.substr(offset, length);
    EXPECT_EQ(block.substr(0, 23), "FROM: \r\nRCPT: mailbox\r\n");
    next = offset + length;
  }
  EXPECT_EQ(next, data.size());
  const std::string second =
      data.substr(std::stoul(index.records[1].offset), std::stoul(index.records[1].length));
  EXPECT_NE(second.find("report.bin"), std::string::npos);
  const pstwriter::Bytes head = [] {
    pstwriter::Bytes bytes(30);
    pstwriter::PatternSource(3, kAttachmentSize).Read(0, bytes);
    return bytes;
  }();
  EXPECT_NE(second.find(Base64(head)), std::string::npos);
  EXPECT_NE(second.find("Body of With a file"), std::string::npos);
}

TEST_P(WriterExport, MessageInTheSubtreeItselfIsReportedAndTheRunEndsWithThree) {
  const TempDir temp;
  const std::string& dir = temp.path();
  const std::string pst = WriteFile(dir + "/mail.pst", GetParam(), true);
  const ProcessOutput run = RunProgram({"-s", pst, "-d", dir + "/out"});
  EXPECT_EQ(run.exit_code, 3) << run.out;
  EXPECT_NE(run.out.find("Completed import"), std::string::npos);
  EXPECT_EQ(ReadIndex(dir + "/out.idx").records.size(), 6u);
}

INSTANTIATE_TEST_SUITE_P(Variants, WriterExport,
                         ::testing::Values(pstwriter::FileFormat::kUnicode,
                                           pstwriter::FileFormat::kAnsi,
                                           pstwriter::FileFormat::kUnicode4k));

// An unencoded file whose inbox holds `messages`, to be damaged where their texts lie.
template <typename... Messages>
std::string InboxFile(const std::string& path, const Messages&... messages) {
  pstwriter::PstBuilder b(path, {.crypt = pst::ndb::CryptMethod::kNone});
  const auto inbox = b.AddFolder(b.ipm_subtree(), "Inbox");
  b.SetSpecialFolder(pstwriter::SpecialFolder::kInbox, inbox);
  (b.AddMessage(inbox, messages), ...);
  b.Finish();
  return path;
}

TEST(DamagedMessage, IsSkippedAndReportedWhileTheOthersAreExported) {
  const TempDir temp;
  const std::string& dir = temp.path();
  pstwriter::Message broken = Mail("Broken", 1700000001);
  broken.props.SetString(tags::kBody, "UNIQUE-DAMAGE-MARKER");
  const std::string pst = InboxFile(dir + "/damaged.pst", Mail("Before", 1700000000), broken,
                                    Mail("After", 1700000002));
  platform_mapilib_test::DamageHeapHolding(pst, u"UNIQUE-DAMAGE-MARKER");
  const ProcessOutput run = RunProgram({"-s", pst, "-d", dir + "/out"});
  EXPECT_EQ(run.exit_code, 3) << run.out;
  EXPECT_NE(run.out.find("0x8004011B"), std::string::npos) << run.out;
  const Index index = ReadIndex(dir + "/out.idx");
  ASSERT_EQ(index.records.size(), 2u);
  EXPECT_EQ(index.records[0].summary, "Ann|Bob|Before|||");
  EXPECT_EQ(index.records[1].summary, "Ann|Bob|After|||");
}

// A block whose checksum no longer matches still reads: its message is exported as read, and the
// run names it with what was wrong. A message flagged with attachments whose attachment table is
// gone is exported without them and named too.
TEST(DamagedMessage, IsExportedAndNamedWithWhatWasWrong) {
  const TempDir temp;
  const std::string& dir = temp.path();
  pstwriter::Message changed = Mail("Changed", 1700000001);
  changed.props.SetString(tags::kBody, "ZEBRA-IN-THE-BODY");
  pstwriter::Message flagged = Mail("Flagged", 1700000002);
  flagged.props.SetInt32(tags::kMessageFlags, tags::kMsgFlagRead | 0x10);  // MSGFLAG_HASATTACH
  const std::string pst =
      InboxFile(dir + "/damaged.pst", Mail("Clean", 1700000000), changed, flagged);
  platform_mapilib_test::ChangeTextOf(pst, u"ZEBRA-IN-THE-BODY");
  const ProcessOutput run = RunProgram({"-s", pst, "-d", dir + "/out"});
  EXPECT_EQ(run.exit_code, 3) << run.out;
  EXPECT_NE(run.out.find("Completed import"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Exported with damage: 2 messages"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"Inbox\": message \"Changed\": block "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("checksum mismatch"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"Inbox\": message \"Flagged\": the attachment table could not be "
                         "read"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(run.out.find("\"Clean\""), std::string::npos) << run.out;
  const Index index = ReadIndex(dir + "/out.idx");
  ASSERT_EQ(index.records.size(), 3u);
  EXPECT_NE(ReadWholeFile(dir + "/out.xmz").find("XEBRA-IN-THE-BODY"), std::string::npos);
}

// Messages composed on several threads are written, reported and counted exactly as on one: the
// same archive bytes, the same report of damaged and skipped messages, the same exit code.
TEST(DamagedMessage, ReportAndArchiveAreTheSameWhateverTheNumberOfWorkers) {
  const TempDir temp;
  const std::string& dir = temp.path();
  auto marked = [](const std::string& subject, std::int64_t time, const std::string& body) {
    pstwriter::Message m = Mail(subject, time);
    m.props.SetString(tags::kBody, body);
    return m;
  };
  pstwriter::Message flagged = Mail("Flagged", 1700000003);
  flagged.props.SetInt32(tags::kMessageFlags, tags::kMsgFlagRead | 0x10);  // MSGFLAG_HASATTACH
  const std::string pst = InboxFile(
      dir + "/damaged.pst", Mail("Clean 0", 1700000000),
      marked("Changed 1", 1700000001, "ZEBRA-ONE-IN-THE-BODY"), Mail("Clean 2", 1700000002),
      flagged, marked("Broken 4", 1700000004, "UNIQUE-DAMAGE-MARKER"), Mail("Clean 5", 1700000005),
      marked("Changed 6", 1700000006, "ZEBRA-SIX-IN-THE-BODY"), Mail("Clean 7", 1700000007));
  platform_mapilib_test::ChangeTextOf(pst, u"ZEBRA-ONE-IN-THE-BODY");
  platform_mapilib_test::ChangeTextOf(pst, u"ZEBRA-SIX-IN-THE-BODY");
  platform_mapilib_test::DamageHeapHolding(pst, u"UNIQUE-DAMAGE-MARKER");

  auto run_with = [&](const std::string& workers) {
    const std::string out = dir + "/out" + workers;
    ProcessOutput run =
        RunProgram({"-s", pst, "-d", out, "-f", out + ".folders"},
                   {{"PST2XMZ_WORKERS", workers}, {"PST2XMZ_FIXED_CLOCK", "1700000000"}});
    for (std::size_t at = run.out.find(out); at != std::string::npos; at = run.out.find(out, at)) {
      run.out.replace(at, out.size(), "OUT");
    }
    run.out +=
        ReadWholeFile(out + ".xmz") + ReadWholeFile(out + ".idx") + ReadWholeFile(out + ".folders");
    return run;
  };
  const ProcessOutput one = run_with("1");
  EXPECT_EQ(one.exit_code, 3) << one.out;
  EXPECT_NE(one.out.find("Exported with damage: 3 messages"), std::string::npos) << one.out;
  EXPECT_NE(one.out.find("1 message skipped"), std::string::npos) << one.out;
  for (const std::string workers : {"2", "3"}) {
    const ProcessOutput several = run_with(workers);
    EXPECT_EQ(several.exit_code, one.exit_code) << workers;
    EXPECT_TRUE(several.out == one.out) << workers << " workers:\n" << several.out.substr(0, 3000);
  }
}

TEST(ReadmeCommand, BundledSampleExportsWithItsFolderList) {
  const TempDir temp;
  const std::string& dir = temp.path();
  const ProcessOutput run =
      RunProgram({"-s", std::string(PST2XMZ_SOURCE_DIR) + "/examples/sample.pst", "-d",
                  dir + "/sample", "-f", dir + "/sample.folders"});
  // The one message lying directly in the top folder is never exported and is named.
  EXPECT_EQ(run.exit_code, 3) << run.out;
  EXPECT_NE(run.out.find("1 message lying directly in the top folder"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("Completed import"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("to folder \"IMAP folder\""), std::string::npos) << run.out;
  const Index index = ReadIndex(dir + "/sample.idx");
  ASSERT_TRUE(index.ok);
  EXPECT_GT(index.records.size(), 0u);
  const bool imap_message_exported =
      std::any_of(index.records.begin(), index.records.end(), [](const IndexRecord& record) {
        return record.summary.find("In an IMAP folder") != std::string::npos;
      });
  EXPECT_TRUE(imap_message_exported);
  EXPECT_EQ(ReadWholeFile(dir + "/sample.folders").substr(0, 2), "#=");
}

}  // namespace
}  // namespace e2e_test
