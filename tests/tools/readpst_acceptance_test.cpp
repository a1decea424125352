// An independent reader accepts writer-made files: readpst (Debian pst-utils) finds the same
// folders, messages, subjects, embedded messages and attachment bytes, in Unicode, ANSI and
// 4 KiB-page files and with every block encoding. Skipped where readpst is not installed.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "tests/support/child_process.h"
#include "tests/tools/writer_test_support.h"
#include "tools/pstwriter/mapi_tags.h"
#include "tools/pstwriter/message_helpers.h"
#include "tools/pstwriter/pst_builder.h"
#include "tools/pstwriter/rtf_body.h"

namespace {

namespace fs = std::filesystem;
using namespace pstwriter;
using test_support::ProcessOutput;
using test_support::ReadFileBytes;
using test_support::ReadWholeFile;
using test_support::TempDir;

constexpr const char* kReadpst = "/usr/bin/readpst";

struct Variant {
  const char* name;
  FileFormat format;
  pst::ndb::CryptMethod crypt;
};

// What the test wrote: per folder path, the subjects of its messages; per attachment name, the
// generator seed and size of its bytes.
struct Written {
  std::map<std::string, std::multiset<std::string>> subjects;
  std::map<std::string, std::pair<std::uint64_t, std::uint64_t>> attachments;
};

Written WriteMailbox(const std::string& path, const Variant& v) {
  Written w;
  PstBuilder b(path, {.format = v.format, .crypt = v.crypt, .display_name = "Acceptance"});
  FolderId inbox = b.AddFolder(b.ipm_subtree(), "Inbox");
  b.SetSpecialFolder(SpecialFolder::kInbox, inbox);
  FolderId projects = b.AddFolder(inbox, "Projects");
  FolderId sent = b.AddFolder(b.ipm_subtree(), "Sent Items");
  const std::pair<FolderId, std::string> folders[] = {
      {inbox, "Inbox"}, {projects, "Inbox/Projects"}, {sent, "Sent Items"}};
  int n = 0;
  for (const auto& [folder, name] : folders) {
    for (int i = 0; i < 4; ++i, ++n) {
      std::string subject = "Message " + std::to_string(n) + " in " + name;
      Message m = MakeMail(subject, "Sender", "sender@example.com", 1700000000 + n);
      m.recipients.push_back(MakeRecipient(tags::kRecipientTo, "To", "to@example.com"));
      m.props.SetString(tags::kBody, "Body of message " + std::to_string(n) + "\r\n");
      if (i % 2 == 1) {
        std::uint64_t size = std::uint64_t(10) << (4 * (n % 5));  // 10 bytes to 655 KB
        std::string file = "data" + std::to_string(n) + ".bin";
        m.attachments.push_back(MakeFileAttachment(file, std::make_shared<PatternSource>(n, size)));
        w.attachments[file] = {std::uint64_t(n), size};
      }
      if (i == 2) {
        Message inner = MakeMail("Embedded in " + std::to_string(n), "I", "i@example.com", 0);
        inner.props.SetString(tags::kBody, "inner body\r\n");
        m.attachments.push_back(MakeEmbeddedAttachment("inner", std::move(inner)));
      }
      b.AddMessage(folder, m);
      w.subjects[name].insert(subject);
    }
  }
  b.Finish();
  return w;
}

// readpst quietly (-q), one process (-j 0), attachments under their own names (-S), into `out`.
ProcessOutput RunReadpst(const std::string& file, const std::string& out) {
  test_support::ProcessOptions options;
  options.merge_error_into_output = true;
  return test_support::RunProcess(kReadpst, {"-j", "0", "-q", "-S", "-o", out, file}, options);
}

class ReadpstAcceptance : public ::testing::TestWithParam<Variant> {};

TEST_P(ReadpstAcceptance, FindsTheSameFoldersSubjectsAndAttachmentBytes) {
  if (!fs::exists(kReadpst)) GTEST_SKIP() << "readpst is not installed";
  TempDir dir;
  std::string path = dir / "mailbox.pst";
  Written written = WriteMailbox(path, GetParam());
  fs::path out = dir / "out";
  fs::create_directory(out);
  const ProcessOutput readpst = RunReadpst(path, out.string());
  ASSERT_EQ(readpst.exit_code, 0) << readpst.out;

  fs::path root = out / "Acceptance";
  ASSERT_TRUE(fs::is_directory(root)) << readpst.out;
  std::map<std::string, std::multiset<std::string>> found;
  std::set<std::string> attachments_seen;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    std::string folder = fs::relative(entry.path().parent_path(), root).generic_string();
    std::string file = entry.path().filename().string();
    auto dash = file.find('-');
    if (dash == std::string::npos) {
      std::string text = ReadWholeFile(entry.path());
      auto at = text.find("\nSubject: ");
      ASSERT_NE(at, std::string::npos) << entry.path();
      auto end = text.find_first_of("\r\n", at + 10);
      found[folder].insert(text.substr(at + 10, end - at - 10));
      if (text.find("Embedded in ") != std::string::npos)
        attachments_seen.insert("embedded:" + folder);
      continue;
    }
    std::string name = file.substr(dash + 1);
    auto it = written.attachments.find(name);
    ASSERT_NE(it, written.attachments.end()) << "unexpected file " << entry.path();
    EXPECT_EQ(ReadFileBytes(entry.path().string()),
              ReadAll(PatternSource(it->second.first, it->second.second)))
        << name;
    attachments_seen.insert(name);
  }
  EXPECT_EQ(found, written.subjects);
  for (const auto& [name, pattern] : written.attachments) {
    EXPECT_TRUE(attachments_seen.count(name)) << "readpst did not write " << name;
  }
  for (const char* folder : {"Inbox", "Inbox/Projects", "Sent Items"}) {
    EXPECT_TRUE(attachments_seen.count(std::string("embedded:") + folder)) << folder;
  }
}

// readpst decompresses PR_RTF_COMPRESSED on its own and writes the RTF beside the message.
TEST(ReadpstRtf, DecompressesCompressedRtfBodiesToTheRtfWritten) {
  if (!fs::exists(kReadpst)) GTEST_SKIP() << "readpst is not installed";
  TempDir dir;
  std::string path = dir / "rtf.pst";
  const std::vector<std::string> bodies = {
      EncapsulateHtml("<p>Grüße, <b>world</b> {braces} \\ back</p>"),
      EncapsulateText("plain text\r\nsecond line – Привет"),
      NativeRtf(std::string(20000, 'r') + " long enough for several blocks")};
  {
    PstBuilder b(path, {.display_name = "Rtf"});
    FolderId folder = b.AddFolder(b.ipm_subtree(), "Bodies");
    for (std::size_t i = 0; i < bodies.size(); ++i) {
      Message m = MakeMail("rtf " + std::to_string(i), "S", "s@example.com", 1700000000);
      SetRtfBody(m, bodies[i], true);
      b.AddMessage(folder, m);
    }
    b.Finish();
  }
  fs::path out = dir / "out";
  fs::create_directory(out);
  ASSERT_EQ(RunReadpst(path, out.string()).exit_code, 0);
  std::multiset<std::string> found;
  for (const auto& entry : fs::directory_iterator(out / "Rtf" / "Bodies")) {
    if (entry.path().filename().string().ends_with("-rtf-body.rtf"))
      found.insert(ReadWholeFile(entry.path()));
  }
  EXPECT_EQ(found, std::multiset<std::string>(bodies.begin(), bodies.end()));
}

INSTANTIATE_TEST_SUITE_P(
    Variants, ReadpstAcceptance,
    ::testing::Values(
        Variant{"UnicodePermute", FileFormat::kUnicode, pst::ndb::CryptMethod::kPermute},
        Variant{"UnicodeCyclic", FileFormat::kUnicode, pst::ndb::CryptMethod::kCyclic},
        Variant{"UnicodeNone", FileFormat::kUnicode, pst::ndb::CryptMethod::kNone},
        Variant{"AnsiPermute", FileFormat::kAnsi, pst::ndb::CryptMethod::kPermute},
        Variant{"Unicode4kNone", FileFormat::kUnicode4k, pst::ndb::CryptMethod::kNone},
        Variant{"Unicode4kCyclic", FileFormat::kUnicode4k, pst::ndb::CryptMethod::kCyclic}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
