// The whole program where the world is unkind: stopped by SIGTERM or SIGINT at any point of a large
// export, given a FIFO to read, run with its standard descriptors closed, fed a file whose data
// tree lists one block over and over, and started without its code page library. Whatever
// happens, every byte of the data file belongs to a record of the index.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "platform/pst/util/format_crc.h"
#include "tests/e2e/program_run.h"
#include "tools/pstwriter/mapi_tags.h"
#include "tools/pstwriter/message_helpers.h"
#include "tools/pstwriter/pst_builder.h"

namespace e2e_test {
namespace {

namespace tags = pstwriter::tags;

const std::string kProgram = PST2XMZ_PROGRAM;

pstwriter::Message Mail(const std::string& subject, std::size_t body_size = 0) {
  pstwriter::Message m = pstwriter::MakeMail(subject, "Ann", "ann@example.org", 1700000000);
  m.recipients.push_back(pstwriter::MakeRecipient(tags::kRecipientTo, "Bob", "bob@example.org"));
  m.props.SetString(tags::kBody, "Body of " + subject + "\r\n" + std::string(body_size, 'b'));
  return m;
}

std::uint64_t FileSize(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
}

// Every byte of the data file lies in exactly one block named by the index, in order, each block
// beginning with the envelope. Returns the number of records.
std::size_t ExpectWholeArchive(const std::string& destination) {
  const Index index = ReadIndex(destination + ".idx");
  EXPECT_TRUE(index.ok) << destination;
  const std::string data = ReadWholeFile(destination + ".xmz");
  std::uint64_t next = 0;
  for (const IndexRecord& record : index.records) {
    EXPECT_EQ(std::stoull(record.offset), next);
    EXPECT_EQ(data.compare(next, 23, "FROM: \r\nRCPT: mailbox\r\n"), 0) << "block at " << next;
    next += std::stoull(record.length);
  }
  EXPECT_EQ(next, data.size()) << destination;
  return index.records.size();
}

// A file large enough that an export takes a while: 3000 messages of 3 KB in two folders.
class InterruptedExport : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    pstwriter::PstBuilder b(dir_->path() + "/large.pst");
    const auto inbox = b.AddFolder(b.ipm_subtree(), "Inbox");
    const auto other = b.AddFolder(b.ipm_subtree(), "Other");
    b.SetSpecialFolder(pstwriter::SpecialFolder::kInbox, inbox);
    for (int i = 0; i < 3000; ++i)
      b.AddMessage(i % 2 ? other : inbox, Mail("m" + std::to_string(i), 3000));
    b.Finish();
  }
  static void TearDownTestSuite() { delete dir_; }
  static TempDir* dir_;
};
TempDir* InterruptedExport::dir_ = nullptr;

TEST_F(InterruptedExport, StopSignalAtAnyPointLeavesOnlyWholeRecords) {
  const std::string whole = dir_->path() + "/whole";
  ProcessOutput full =
      ChildProcess(kProgram, {"-s", dir_->path() + "/large.pst", "-d", whole}, {}).Wait();
  ASSERT_EQ(full.exit_code, 0) << full.err;
  ASSERT_EQ(ExpectWholeArchive(whole), 3000u);
  const std::uint64_t full_size = FileSize(whole + ".xmz");

  // The signal comes once the data file has reached a chosen size, somewhere in its first 60 %.
  std::mt19937_64 random(20261207);
  std::uniform_int_distribution<std::uint64_t> point(1, full_size * 6 / 10);
  for (int run = 0; run < 20; ++run) {
    const int signal_number = run % 2 ? SIGINT : SIGTERM;
    const std::uint64_t at = point(random);
    SCOPED_TRACE("run " + std::to_string(run) + ", signal " + std::to_string(signal_number) +
                 " at " + std::to_string(at) + " bytes");
    const std::string out = dir_->path() + "/run" + std::to_string(run);
    ChildProcess child(kProgram, {"-s", dir_->path() + "/large.pst", "-d", out}, {});
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (FileSize(out + ".xmz") < at && std::chrono::steady_clock::now() < give_up)
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    child.Signal(signal_number);
    ProcessOutput result = child.Wait();
    EXPECT_EQ(result.exit_code, 1) << result.err;
    EXPECT_EQ(result.err, "Cannot finish: interrupted\r\n");
    EXPECT_EQ(result.out.find("Completed import"), std::string::npos);
    EXPECT_LT(ExpectWholeArchive(out), 3000u);
    EXPECT_GE(FileSize(out + ".xmz"), at);
  }
}

TEST(UnkindInput, FifoIsRefusedWithoutWaitingForAWriter) {
  const TempDir temp;
  const std::string& dir = temp.path();
  ASSERT_EQ(mkfifo((dir + "/mail.pst").c_str(), 0600), 0);
  const ProcessOutput run = RunProgram({"-s", dir + "/mail.pst", "-d", dir + "/out"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.out.find("is not a regular file"), std::string::npos) << run.out;
  EXPECT_FALSE(std::filesystem::exists(dir + "/out.xmz"));
  EXPECT_FALSE(std::filesystem::exists(dir + "/out.idx"));
  const ProcessOutput folder = RunProgram({"-s", dir, "-d", dir + "/out"});
  EXPECT_EQ(folder.exit_code, 1);
  EXPECT_NE(folder.out.find("is not a regular file"), std::string::npos) << folder.out;
  EXPECT_FALSE(std::filesystem::exists(dir + "/out.idx"));
}

TEST(UnkindInput, DataTreeListingOneBlockOverAndOverIsDamageNotData) {
  const TempDir temp;
  const std::string& dir = temp.path();
  const std::string pst = dir + "/bomb.pst";
  constexpr std::uint32_t kBlocks = 100, kBlockData = 8176;  // a Unicode file's largest block
  {
    pstwriter::PstBuilder b(pst, {.crypt = pst::ndb::CryptMethod::kNone});
    const auto inbox = b.AddFolder(b.ipm_subtree(), "Inbox");
    b.SetSpecialFolder(pstwriter::SpecialFolder::kInbox, inbox);
    b.AddMessage(inbox, Mail("Before"));
    pstwriter::Message bomb = Mail("Bomb");
    bomb.attachments.push_back(pstwriter::MakeFileAttachment(
        "big.bin", std::make_shared<pstwriter::PatternSource>(7, kBlocks * kBlockData)));
    b.AddMessage(inbox, bomb);
    b.AddMessage(inbox, Mail("After"));
    b.Finish();
  }
  // The attachment's XBLOCK: type 1, level 1, 100 entries, the total; make every entry name the
  // first block and give the block its checksum again.
  std::string bytes = ReadWholeFile(pst);
  const char head[8] = {1, 1, char(kBlocks), 0, char(0xC0), char(0x79), char(0x0C), 0};
  static_assert(kBlocks * kBlockData == 0x000C79C0);
  const std::size_t at = bytes.find(std::string(head, 8));
  ASSERT_NE(at, std::string::npos);
  for (std::uint32_t i = 1; i < kBlocks; ++i) bytes.replace(at + 8 + 8 * i, 8, bytes, at + 8, 8);
  const std::size_t used = 8 + 8 * kBlocks, trailer = at + (used + 16 + 63) / 64 * 64 - 16;
  const std::uint32_t crc = pst::util::ComputeCrc(
      0, std::span(reinterpret_cast<const std::byte*>(bytes.data() + at), used));
  for (int i = 0; i < 4; ++i) bytes[trailer + 4 + i] = static_cast<char>(crc >> (8 * i));
  std::ofstream(pst, std::ios::binary | std::ios::trunc) << bytes;

  // The message goes out without the attachment it cannot have, and says so.
  const ProcessOutput run = RunProgram({"-s", pst, "-d", dir + "/out"});
  EXPECT_EQ(run.exit_code, 3) << run.out;
  EXPECT_NE(run.out.find("message \"Bomb\": the data of attachment 0 could not be read"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("lists block"), std::string::npos) << run.out;
  EXPECT_EQ(ExpectWholeArchive(dir + "/out"), 3u);
  const Index index = ReadIndex(dir + "/out.idx");
  EXPECT_NE(index.records.at(1).summary.find("|Bomb|"), std::string::npos);
  EXPECT_LT(std::stoul(index.records.at(1).length), 1000u);
}

std::string WriteShiftJisMail(const std::string& dir) {
  const std::string pst = dir + "/sjis.pst";
  pstwriter::PstBuilder b(pst);
  const auto inbox = b.AddFolder(b.ipm_subtree(), "Inbox");
  b.SetSpecialFolder(pstwriter::SpecialFolder::kInbox, inbox);
  pstwriter::Message m = Mail("greeting");
  // "こんにちは" in Shift_JIS as an encoded word.
  m.props.SetString(tags::kTransportMessageHeaders,
                    "From: a@example.org\r\nTo: b@example.org\r\n"
                    "Subject: =?shift_jis?B?grGC8YLJgr+CzQ==?=\r\n\r\n");
  b.AddMessage(inbox, m);
  b.Finish();
  return pst;
}

TEST(UnkindSetup, MissingCodePageLibraryIsSaidOnceAndCountedAsALoss) {
  const TempDir temp;
  const std::string& dir = temp.path();
  if (std::filesystem::exists(std::string(PST2XMZ_INSTALLED_CHARSET_DIR) + "/codepages.chl"))
    GTEST_SKIP() << "a code page library is installed on this machine";
  const std::string pst = WriteShiftJisMail(dir);
  ProcessOutput with = RunProgram({"-s", pst, "-d", dir + "/with"});
  ASSERT_EQ(with.exit_code, 0) << with.out;
  EXPECT_EQ(ReadIndex(dir + "/with.idx").records.at(0).summary,
            "a@example.org|b@example.org|こんにちは|||");

  // The program alone in a folder of its own, its mail library named by the environment.
  const std::string alone = dir + "/pst2xmz";
  std::filesystem::copy_file(kProgram, alone);
  ProcessOptions options = test_support::WithEnvironment(
      "PST2XMZ_MAPI_LIBRARY", std::string(PST2XMZ_BIN_DIR) + "/libmapi32.so");
  ProcessOutput without = ChildProcess(alone, {"-s", pst, "-d", dir + "/without"}, options).Wait();
  EXPECT_EQ(without.exit_code, 3) << without.err;
  EXPECT_EQ(without.err, "Code page library not found (no *.chl file in " + dir + " " +
                             PST2XMZ_INSTALLED_CHARSET_DIR +
                             "): texts in shift_jis are read as ISO-8859-1\r\n");
  EXPECT_NE(without.out.find("Completed import"), std::string::npos);
  EXPECT_EQ(ExpectWholeArchive(dir + "/without"), 1u);
}

TEST(UnkindSetup, ClosedStandardDescriptorsWithTheTraceOnStandardError) {
  const TempDir temp;
  const std::string& dir = temp.path();
  const std::string pst = WriteShiftJisMail(dir);
  ProcessOptions options = test_support::WithClosedDescriptors({0, 1, 2});
  options.environment["PST2XMZ_TRACE"] = "-";
  ProcessOutput run = ChildProcess(kProgram, {"-s", pst, "-d", dir + "/out"}, options).Wait();
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(ExpectWholeArchive(dir + "/out"), 1u);
  const std::string data = ReadWholeFile(dir + "/out.xmz");
  EXPECT_EQ(data.find("Reading"), std::string::npos);
  EXPECT_EQ(data.find("HrCreatePersonalStore"), std::string::npos);
}

}  // namespace
}  // namespace e2e_test
