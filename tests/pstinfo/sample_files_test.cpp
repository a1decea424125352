// The inspector on the shared real files nobody here wrote: every readable file lists its tree and
// messages without complaint, with the folder counts its README gives; the damaged and foreign
// files are refused; attachment digests agree with those of readpst's extracted files.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "tests/pstinfo/pstinfo_run.h"
#include "tools/pstinfo/sha256.h"

namespace pstinfo_test {
namespace {

const std::string kSamples = PST2XMZ_SAMPLES_DIR;

struct TreeFolder {
  int depth = 0;
  std::string id, container, path;  // path: names from below the root, joined by "/"
  std::size_t messages = 0;
};

std::vector<TreeFolder> ParseTree(const std::string& text) {
  std::vector<TreeFolder> folders;
  std::vector<std::string> names;
  for (const std::string& line : Lines(text)) {
    const auto f = Fields(line);
    if (f.size() != 5) {
      ADD_FAILURE() << "not five fields: " << line;
      continue;
    }
    TreeFolder folder{std::stoi(f[0]), f[1], f[3], "", std::stoul(f[2])};
    names.resize(static_cast<std::size_t>(folder.depth));
    for (std::size_t i = 1; i < names.size(); ++i) folder.path += names[i] + "/";
    folder.path += f[4];
    names.push_back(f[4]);
    folders.push_back(folder);
  }
  return folders;
}

// A fact line of the default report ("IPM subtree:  0x8022" gives "0x8022").
std::string Fact(const std::string& report, const std::string& name) {
  for (const std::string& line : Lines(report)) {
    if (line.rfind(name + ":", 0) == 0) {
      const std::size_t value = line.find_first_not_of(' ', name.size() + 1);
      return value == std::string::npos ? "" : line.substr(value);
    }
  }
  return "";
}

// Messages of the mail folders below the IPM subtree, the outbox excluded.
std::size_t MailBelowSubtree(const std::vector<TreeFolder>& tree, const std::string& subtree,
                             const std::string& outbox) {
  std::size_t total = 0;
  int inside = -1;
  for (const TreeFolder& f : tree) {
    if (inside >= 0 && f.depth <= inside) inside = -1;
    if (f.id == subtree) {
      inside = f.depth;
    } else if (inside >= 0 && f.id != outbox &&
               (f.container == "-" || f.container == "IPF.Note" ||
                f.container.rfind("IPF.Note.", 0) == 0)) {
      total += f.messages;
    }
  }
  return total;
}

class SampleFiles : public PstinfoTest {
 protected:
  void SetUp() override {
    PstinfoTest::SetUp();
    if (IsSkipped()) return;
    if (!std::filesystem::is_directory(kSamples)) GTEST_SKIP() << "no sample folder";
  }
  std::vector<TreeFolder> Tree(const std::string& file) {
    RunResult r = RunPstinfo({"--tree", kSamples + "/" + file});
    EXPECT_EQ(r.exit_code, 0) << file << ": " << r.err;
    return ParseTree(r.out);
  }
  // Count of the folder whose path ends with `suffix`; -1 when there is none.
  long Count(const std::vector<TreeFolder>& tree, const std::string& suffix) {
    for (const TreeFolder& f : tree) {
      if (f.path == suffix ||
          (f.path.size() > suffix.size() && f.path.compare(f.path.size() - suffix.size() - 1,
                                                           std::string::npos, "/" + suffix) == 0)) {
        return static_cast<long>(f.messages);
      }
    }
    return -1;
  }
};

TEST_F(SampleFiles, FolderCountsOfTheReadme) {
  const std::map<std::string, std::map<std::string, long>> expected = {
      {"aspose-sample.ost",
       {{"IPM_SUBTREE/Inbox", 12},
        {"IPM_SUBTREE/Inbox/sub1", 25},
        {"IPM_SUBTREE/Inbox/sub2", 29},
        {"IPM_SUBTREE/Deleted Items", 10},
        {"IPM_SUBTREE/Sent Items", 6},
        {"IPM_SUBTREE/Sync Issues", 9}}},
      {"gopst-support.pst", {{"Drafts", 6}, {"Sent Messages", 11}}},
      {"pstx-outlookcom.ost",
       {{"Root - Mailbox/IPM_SUBTREE/Inbox", 10},
        {"Root - Mailbox/IPM_SUBTREE/Sent Items", 2},
        {"Root - Mailbox/IPM_SUBTREE/Deleted Items", 1},
        {"Root - Mailbox/IPM_SUBTREE/Sync Issues", 1}}},
      {"aspose-outlook.pst", {{"Inbox", 8}, {"Sent Items", 6}}},
      {"aspose-testpart1.pst", {{"Sent Items", 31}}},
      {"apachelist-test.pst", {{"dev_age_apache_org", 10}}},
      {"tika-bodytypes.pst", {{"tmp", 4}}},
      {"pstsdk-sample1.pst", {{"Sample1", 1}}},
      {"pstsdk-test-ansi.pst", {{"Folder", 1}}},
  };
  for (const auto& [file, folders] : expected) {
    const auto tree = Tree(file);
    for (const auto& [path, count] : folders) {
      EXPECT_EQ(Count(tree, path), count) << file << ": " << path;
    }
  }
  // The deep tree: each level below the one before.
  EXPECT_GE(Count(Tree("pstdigger-test.pst"), "INBOX/Level01/Level02/Level03"), 0);
}

TEST_F(SampleFiles, MailBelowTheIpmSubtreeMatchesTheReadme) {
  const std::map<std::string, std::size_t> exported = {
      {"pstsdk-sample1.pst", 1},    {"pstsdk-sample2.pst", 1},
      {"pstsdk-submessage.pst", 1}, {"pstsdk-test-ansi.pst", 1},
      {"tika-bodytypes.pst", 4},    {"gopst-support.pst", 17},
      {"gopst-32bit.pst", 0},       {"rubymsg-msginmsg.pst", 0},
      {"aspose-outlook.pst", 14},   {"aspose-password.pst", 18},
      {"pstx-outlookcom.ost", 14},  {"apachelist-test.pst", 10},
      {"aspose-sample.ost", 91},    {"aspose-testpart1.pst", 31},
      {"aspose-backupout.pst", 0},  {"aspose-contacts.pst", 0},
      {"aspose-pst-named.ost", 0},  {"docfetcher-test.pst", 1},
      {"iped-sample.pst", 8},       {"jlp-dist-list.pst", 0},
      {"jlp-passworded.pst", 0},    {"mailbagit-outlook2019.pst", 2},
      {"pstdigger-test.pst", 6},    {"pstsdk-test-unicode.pst", 1},
      {"rubymsg-200rcpt.pst", 0},   {"rubymsg-attachinline.pst", 0},
      {"tika-testpst.pst", 0},
  };
  for (const auto& [file, count] : exported) {
    RunResult report = RunPstinfo({kSamples + "/" + file});
    EXPECT_EQ(report.exit_code, 0) << file << ": " << report.err;
    const std::string subtree = Fact(report.out, "IPM subtree");
    EXPECT_EQ(subtree.rfind("0x", 0), 0u) << file;
    EXPECT_EQ(MailBelowSubtree(Tree(file), subtree, Fact(report.out, "Outbox")), count) << file;
    RunResult messages = RunPstinfo({"--messages", kSamples + "/" + file});
    EXPECT_EQ(messages.exit_code, 0) << file << ": " << messages.err;
    EXPECT_EQ(messages.err, "") << file;
  }
}

TEST_F(SampleFiles, DamagedAndForeignFilesAreRefused) {
  const std::map<std::string, std::string> refused = {
      {"corrupt-aspose-bulk.pst", "file header damaged: partial checksum mismatch"},
      {"notpst-aspose-smtp.pst", "not a personal-folders file"},
      {"corrupt-aspose-cs-outlook.pst", "node B-tree page"},
  };
  for (const auto& [file, reason] : refused) {
    for (const char* mode : {"--tree", "--messages"}) {
      const std::string path = kSamples + "/" + file;
      RunResult r = RunPstinfo({mode, path});
      EXPECT_EQ(r.exit_code, 1) << file;
      EXPECT_EQ(r.out, "") << file;
      EXPECT_EQ(r.err.rfind("pstinfo: " + path + ": " + reason, 0), 0u) << r.err;
    }
  }
}

TEST_F(SampleFiles, SubjectsLoseTheirPrefixMarker) {
  RunResult r = RunPstinfo({"--messages", kSamples + "/pstsdk-test-ansi.pst"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(Fields(lines[0])[2], "Post");
}

// Digests of the attachment files readpst writes with -S ("N-name"), its RTF bodies left out.
// "-j 0": by default readpst writes folders from forked children that may still be writing when
// the parent has exited, so the listing would race with them.
std::set<std::string> ReadpstDigests(const std::string& file, const std::string& out_dir) {
  std::filesystem::create_directories(out_dir);
  const std::vector<std::string> arguments = {"-j", "0",  "-D",    "-S",
                                              "-q", "-o", out_dir, kSamples + "/" + file};
  if (test_support::RunProcess("readpst", arguments).exit_code != 0) return {};
  std::set<std::string> digests;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(out_dir)) {
    const std::string name = entry.path().filename().string();
    const std::size_t dash = name.find('-');
    if (!entry.is_regular_file() || dash == std::string::npos || name.ends_with("-rtf-body.rtf")) {
      continue;
    }
    digests.insert(pstinfo::Sha256Hex(ReadWholeFile(entry.path().string())));
  }
  return digests;
}

TEST_F(SampleFiles, AttachmentDigestsAgreeWithReadpst) {
  if (test_support::RunProcess("readpst", {"-V"}).exit_code != 0) {
    GTEST_SKIP() << "readpst is not installed";
  }
  // Files whose attachments are all by value and lie in folders readpst writes out.
  for (const char* file : {"pstsdk-sample1.pst", "aspose-outlook.pst", "gopst-support.pst",
                           "aspose-testpart1.pst", "docfetcher-test.pst"}) {
    const std::set<std::string> theirs = ReadpstDigests(file, dir_ / file);
    RunResult r = RunPstinfo({"--messages", kSamples + "/" + file});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    std::set<std::string> ours;
    for (const std::string& line : Lines(r.out)) {
      const auto f = Fields(line);
      ours.insert(f.begin() + 4, f.end());
    }
    EXPECT_FALSE(ours.empty()) << file;
    EXPECT_EQ(ours, theirs) << file;
  }
}

}  // namespace
}  // namespace pstinfo_test
