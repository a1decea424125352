// What the file cannot represent is refused with a reason, before anything broken is written:
// values over 4 GiB - 1, files beyond an ANSI file's 2 GiB, text the code page cannot hold,
// malformed UTF-8, more rows than an ANSI table indexes, embedding beyond 32 levels.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/tools/writer_test_support.h"
#include "tools/pstwriter/mapi_tags.h"
#include "tools/pstwriter/message_helpers.h"
#include "tools/pstwriter/ndb_writer.h"
#include "tools/pstwriter/pst_builder.h"
#include "tools/pstwriter/table_writer.h"

namespace {

using namespace pstwriter;
using test_support::TempDir;

// Runs f, expecting WriteError whose message contains `reason`.
template <typename F>
void ExpectRefused(F f, const std::string& reason) {
  try {
    f();
    ADD_FAILURE() << "not refused; expected: " << reason;
  } catch (const WriteError& e) {
    EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
  }
}

TEST(Refusal, ValueOverFourGibibytesIsRefusedBeforeItIsWritten) {
  TempDir dir;
  PstBuilder b(dir / "big.pst");
  Message m;
  m.attachments.push_back(
      MakeFileAttachment("huge", std::make_shared<PatternSource>(1, 5ull << 30)));
  ExpectRefused([&] { b.AddMessage(b.ipm_subtree(), m); }, "4 GiB");
  EXPECT_LT(std::filesystem::file_size(dir / "big.pst"), 1u << 20);
}

TEST(Refusal, AnsiFileRefusesAValueBeyondItsTwoGibibytes) {
  TempDir dir;
  PstBuilder b(dir / "ansi.pst", {.format = FileFormat::kAnsi});
  Message m;
  m.attachments.push_back(
      MakeFileAttachment("big", std::make_shared<PatternSource>(1, 3ull << 30)));
  ExpectRefused([&] { b.AddMessage(b.ipm_subtree(), m); }, "does not fit");
}

TEST(Refusal, TextOutsideTheAnsiCodePageIsRefused) {
  TempDir dir;
  PstBuilder b(dir / "cp.pst", {.format = FileFormat::kAnsi, .code_page = 1252});
  Message m;
  m.props.SetString(tags::kSubject, "Привет");
  ExpectRefused([&] { b.AddMessage(b.ipm_subtree(), m); }, "code page 1252");
  ExpectRefused(
      [&] {
        b.AddFolder(b.ipm_subtree(), "日本");
        b.Finish();
      },
      "code page 1252");
}

TEST(Refusal, TheSameTextIsAcceptedInTheMessagesOwnCodePage) {
  TempDir dir;
  PstBuilder b(dir / "cp.pst", {.format = FileFormat::kAnsi, .code_page = 1252});
  Message m;
  m.props.SetInt32(tags::kMessageCodepage, 1251).SetString(tags::kSubject, "Привет");
  EXPECT_NO_THROW(b.AddMessage(b.ipm_subtree(), m));
}

TEST(Refusal, MalformedUtf8IsRefused) {
  TempDir dir;
  PstBuilder b(dir / "utf8.pst");
  Message m;
  m.props.SetString(tags::kSubject, "bad \xC3\x28 text");
  ExpectRefused([&] { b.AddMessage(b.ipm_subtree(), m); }, "not valid UTF-8");
}

TEST(Refusal, AnsiTableStopsAtItsLastIndexableRow) {
  TempDir dir;
  NdbWriter ndb(dir / "rows.pst", FileFormat::kAnsi, pst::ndb::CryptMethod::kNone);
  SubnodeAllocator node(ndb.blocks());
  TableWriter table(node, {});
  for (int i = 0; i < 0xFFFF; ++i) table.AddRow(std::uint32_t(i), {});
  ExpectRefused([&] { table.AddRow(0xFFFF, {}); }, "65,535 rows");
}

TEST(Refusal, EmbeddingDeeperThanThirtyTwoLevelsIsRefused) {
  Message inner;
  for (int i = 0; i < 34; ++i) {
    Message outer;
    outer.attachments.push_back(MakeEmbeddedAttachment("e", std::move(inner)));
    inner = std::move(outer);
  }
  TempDir dir;
  PstBuilder b(dir / "deep.pst");
  ExpectRefused([&] { b.AddMessage(b.ipm_subtree(), inner); }, "32 deep");
}

TEST(Refusal, UnknownFoldersAndWorkAfterFinishAreRefused) {
  TempDir dir;
  PstBuilder b(dir / "misuse.pst");
  ExpectRefused([&] { b.AddMessage(0x12345, Message{}); }, "no folder");
  b.Finish();
  ExpectRefused([&] { b.AddFolder(b.ipm_subtree(), "late"); }, "already finished");
  ExpectRefused([&] { b.Finish(); }, "already finished");
}

}  // namespace
