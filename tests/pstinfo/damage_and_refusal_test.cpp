// What the inspector does with files it cannot fully read: a damaged message or folder is named on
// standard error and the rest is still listed (exit 3); a file that is not a personal-folders file,
// a truncated or zeroed one, a missing one, an unknown node or bad arguments end with a message
// that names the problem and exit 1.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "platform/pst/ndb/node_database.h"
#include "tests/pstinfo/test_store.h"

namespace pstinfo_test {
namespace {

// Where the data block of top-level node `nid` lies in the file, and its stored size.
void LocateNodeData(const std::string& path, pst::ndb::NodeId nid, std::uint64_t& offset,
                    std::uint64_t& size) {
  auto db = pst::ndb::NodeDatabase::Open(path);
  ASSERT_TRUE(db.ok()) << db.status().message();
  auto node = (*db)->FindNode(nid);
  ASSERT_TRUE(node.ok()) << node.status().message();
  auto block = (*db)->FindBlock(node->data_bid);
  ASSERT_TRUE(block.ok()) << block.status().message();
  offset = block->ref.ib;
  size = block->stored_size;
}

// Overwrites the first bytes of the data block of top-level node `nid` with zeros.
void DamageNodeData(const std::string& path, pst::ndb::NodeId nid) {
  std::uint64_t offset = 0, size = 0;
  ASSERT_NO_FATAL_FAILURE(LocateNodeData(path, nid, offset, size));
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  file.seekp(static_cast<std::streamoff>(offset));
  const std::string zeros(16, '\0');
  file.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
  ASSERT_TRUE(file.good());
}

// Replaces every little-endian copy of `from` in the data block of node `nid` by `to` (files
// written without block encoding keep node ids as plain bytes).
void ReplaceIdInNodeData(const std::string& path, pst::ndb::NodeId nid, std::uint32_t from,
                         std::uint32_t to) {
  std::uint64_t offset = 0, size = 0;
  ASSERT_NO_FATAL_FAILURE(LocateNodeData(path, nid, offset, size));
  std::string bytes = ReadWholeFile(path);
  const std::string old_id(reinterpret_cast<const char*>(&from), 4);
  const std::string new_id(reinterpret_cast<const char*>(&to), 4);
  int replaced = 0;
  for (std::size_t at = offset; (at = bytes.find(old_id, at)) < offset + size; at += 4) {
    bytes.replace(at, 4, new_id);
    ++replaced;
  }
  ASSERT_GT(replaced, 0);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<std::string> Without(std::vector<std::string> lines, const std::string& line) {
  lines.erase(std::remove(lines.begin(), lines.end(), line), lines.end());
  return lines;
}

class Damage : public PstinfoTest {
 protected:
  TestStore store_ = WriteTestStore(dir_ / "d.pst", pw::FileFormat::kUnicode);
};

TEST_F(Damage, DamagedMessageIsNamedAndTheRestOfItsFolderListed) {
  const pw::MessageId broken = store_.inbox_messages[1];
  DamageNodeData(store_.path, broken);
  RunResult r = RunPstinfo({"--messages", store_.path});
  EXPECT_EQ(r.exit_code, 3);
  EXPECT_NE(r.err.find("message " + Hex(broken)), std::string::npos) << r.err;
  EXPECT_EQ(Lines(r.out), Without(store_.message_lines, store_.message_lines[1]));
}

TEST_F(Damage, DamagedFolderIsNamedAndItsSiblingsListed) {
  DamageNodeData(store_.path, store_.calendar);
  RunResult r = RunPstinfo({"--tree", store_.path});
  EXPECT_EQ(r.exit_code, 3);
  EXPECT_NE(r.err.find("folder " + Hex(store_.calendar)), std::string::npos) << r.err;
  EXPECT_EQ(Lines(r.out), Without(store_.tree_lines, store_.tree_lines[4]));
}

TEST_F(Damage, DamagedFolderLeavesTheMessageListingOfOthersWhole) {
  DamageNodeData(store_.path, store_.sub);
  RunResult r = RunPstinfo({"--messages", store_.path});
  EXPECT_EQ(r.exit_code, 3);
  EXPECT_NE(r.err.find("folder " + Hex(store_.sub)), std::string::npos) << r.err;
  EXPECT_EQ(Lines(r.out), Without(store_.message_lines, store_.message_lines[3]));
}

using Hierarchy = PstinfoTest;

TEST_F(Hierarchy, NamingAnAncestorIsReportedAndNotFollowed) {
  const std::string path = dir_ / "cycle.pst";
  pw::FolderId parent = 0, child = 0;
  {
    pw::PstBuilder b(path, {.crypt = pst::ndb::CryptMethod::kNone, .search_root = false});
    parent = b.AddFolder(b.ipm_subtree(), "Parent");
    child = b.AddFolder(parent, "Child");
    b.Finish();
  }
  // The parent's hierarchy table now names the parent itself as its subfolder.
  ReplaceIdInNodeData(path, (parent & ~0x1Fu) | 0x0D, child, parent);
  RunResult r = RunPstinfo({"--tree", path});
  EXPECT_EQ(r.exit_code, 3);
  EXPECT_NE(r.err.find("folder " + Hex(parent) + ": named again in the hierarchy"),
            std::string::npos)
      << r.err;
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 3u) << r.out;
  EXPECT_EQ(lines[2], "2\t" + Hex(parent) + "\t0\tIPF.Note\tParent");
}

class Refusal : public PstinfoTest {
 protected:
  void ExpectRefused(const std::vector<std::string>& args, const std::string& reason) {
    RunResult r = RunPstinfo(args);
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("pstinfo: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(reason), std::string::npos) << r.err;
  }
  std::string WriteFile(const std::string& name, const std::string& bytes) {
    const std::string path = dir_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
};

TEST_F(Refusal, TextFileIsNotAPersonalFoldersFile) {
  const std::string path = WriteFile("mail.pst", "From someone Mon Dec  7 09:00:00 2026\nHi\n");
  for (const char* mode : {"--tree", "--messages"}) {
    ExpectRefused({mode, path}, path + ": not a personal-folders file");
  }
  ExpectRefused({path}, path + ": not a personal-folders file");
}

TEST_F(Refusal, TruncatedAndZeroedFilesAreRefused) {
  TestStore s = WriteTestStore(dir_ / "whole.pst", pw::FileFormat::kUnicode);
  const std::string bytes = ReadWholeFile(s.path);
  ExpectRefused({"--tree", WriteFile("short.pst", bytes.substr(0, 300))}, "truncated");
  std::string zeroed = bytes;
  std::fill_n(zeroed.begin(), 600, '\0');
  ExpectRefused({"--tree", WriteFile("zeroed.pst", zeroed)}, "not a personal-folders file");
}

TEST_F(Refusal, MissingFileIsNamed) {
  const std::string path = dir_ / "absent.pst";
  ExpectRefused({"--messages", path}, path + ": ");
}

TEST_F(Refusal, UnknownNodeIsNamed) {
  TestStore s = WriteTestStore(dir_ / "n.pst", pw::FileFormat::kUnicode);
  ExpectRefused({s.path, "0x7fffffe4"}, "node 0x7fffffe4: ");
}

TEST_F(Refusal, BadArgumentsShowTheUsage) {
  ExpectRefused({}, "no file given\nusage: pstinfo FILE [NODE]");
  ExpectRefused({"--tree", "a.pst", "b.pst"}, "unexpected argument b.pst\nusage:");
  ExpectRefused({"a.pst", "zz"}, "not a node id: zz\nusage:");
}

}  // namespace
}  // namespace pstinfo_test
