// The corpus generator is deterministic and meets its size goal, and the bundled sample shows
// every body and attachment form it promises; the committed sample is what pstgen writes today.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

#include "platform/pst/messaging/folder.h"
#include "platform/pst/messaging/message.h"
#include "tests/support/child_process.h"
#include "tests/tools/writer_test_support.h"
#include "tools/pstgen/corpus_generator.h"
#include "tools/pstgen/sample_store.h"
#include "tools/pstwriter/mapi_tags.h"

namespace {

using namespace pstwriter;
using pst::messaging::Message;
using pst::messaging::MessageStore;
using test_support::ReadFileBytes;
using test_support::TempDir;
using writer_test::Utf8;

pstgen::CorpusStats Generate(const std::string& path, std::uint64_t seed, std::uint64_t messages,
                             std::uint64_t size_mb = 0) {
  PstBuilder b(path);
  pstgen::CorpusOptions options;
  options.seed = seed;
  options.messages = messages;
  options.size_mb = size_mb;
  options.max_attachment_bytes = 256 << 10;
  auto stats = pstgen::GenerateCorpus(b, options);
  b.Finish();
  return stats;
}

// Calls visit for every message of the store, embedded ones included.
void ForEachMessage(const MessageStore& store, pst::ndb::NodeId folder_id,
                    const std::function<void(const Message&, pst::ndb::NodeId folder)>& visit) {
  auto folder = store.OpenFolder(folder_id);
  ASSERT_TRUE(folder.ok());
  auto contents = folder->OpenContentsTable();
  ASSERT_TRUE(contents.ok()) << folder->display_name() << ": " << contents.status().message();
  std::function<void(const Message&)> walk = [&](const Message& m) {
    visit(m, folder_id);
    auto ids = m.AttachmentIds();
    ASSERT_TRUE(ids.ok());
    for (pst::ndb::NodeId a : *ids) {
      auto att = m.OpenAttachment(a);
      if (att.ok() && att->has_data_object()) walk(*att->OpenEmbeddedMessage());
    }
  };
  for (std::size_t i = 0; i < contents->row_count(); ++i) {
    auto m = store.OpenMessage(contents->ReadRow(i)->row_id());
    ASSERT_TRUE(m.ok());
    walk(*m);
  }
  auto children = folder->SubfolderIds();
  ASSERT_TRUE(children.ok());
  for (pst::ndb::NodeId child : *children) ForEachMessage(store, child, visit);
}

TEST(CorpusGenerator, SameSeedWritesTheSameBytesAndAnotherSeedDoesNot) {
  TempDir dir;
  auto a = Generate(dir / "a.pst", 7, 40);
  Generate(dir / "b.pst", 7, 40);
  Generate(dir / "c.pst", 8, 40);
  EXPECT_EQ(a.messages, 40u);
  EXPECT_EQ(ReadFileBytes(dir / "a.pst"), ReadFileBytes(dir / "b.pst"));
  EXPECT_NE(ReadFileBytes(dir / "a.pst"), ReadFileBytes(dir / "c.pst"));
}

TEST(CorpusGenerator, SizeGoalIsReachedAndEveryMessageIsReadable) {
  TempDir dir;
  auto stats = Generate(dir / "goal.pst", 3, 0, 4);
  EXPECT_GE(stats.content_bytes, 4u << 20);
  EXPECT_GE(std::filesystem::file_size(dir / "goal.pst"), 4u << 20);
  auto store = writer_test::OpenStore(dir / "goal.pst");
  ASSERT_TRUE(store);
  std::uint64_t top_level = 0, embedded = 0, sized = 0;
  ForEachMessage(*store, pst::ndb::kNidRootFolder, [&](const Message& m, pst::ndb::NodeId) {
    (m.depth() == 0 ? top_level : embedded)++;
    // Every message states its size, as mail clients write it: at least its plain text.
    auto size = m.properties().Get(tags::kMessageSize);
    auto body = m.properties().Get(tags::kBody);
    const std::size_t text = body.ok() ? Utf8(body).size() : 0;
    if (size.ok() && size->AsInt32().ok() && std::size_t(*size->AsInt32()) > text) ++sized;
  });
  EXPECT_EQ(top_level, stats.messages);
  EXPECT_EQ(embedded, stats.embedded);
  EXPECT_EQ(sized, top_level + embedded);
}

TEST(CorpusGenerator, OneFolderPutsEveryMessageInTheInbox) {
  TempDir dir;
  {
    PstBuilder b(dir / "one.pst");
    pstgen::CorpusOptions options;
    options.messages = 60;
    options.folders = 0;
    options.one_folder = true;
    options.max_attachment_bytes = 16 << 10;
    pstgen::GenerateCorpus(b, options);
    b.Finish();
  }
  auto store = writer_test::OpenStore(dir / "one.pst");
  ASSERT_TRUE(store);
  std::map<pst::ndb::NodeId, int> per_folder;
  ForEachMessage(*store, pst::ndb::kNidRootFolder, [&](const Message& m, pst::ndb::NodeId folder) {
    if (m.depth() == 0) per_folder[folder]++;
  });
  ASSERT_EQ(per_folder.size(), 1u);
  auto inbox = store->OpenFolder(per_folder.begin()->first);
  EXPECT_EQ(inbox->display_name(), "Inbox");
  EXPECT_EQ(per_folder.begin()->second, 60);
  // The contents table carries each message's size, so listing the folder opens no message.
  auto contents = inbox->OpenContentsTable();
  ASSERT_TRUE(contents.ok());
  for (std::size_t i = 0; i < contents->row_count(); ++i) {
    auto size = contents->CellById(*contents->ReadRow(i), tags::kMessageSize);
    EXPECT_TRUE(size.ok() && size->AsInt32().ok() && *size->AsInt32() > 0) << "row " << i;
  }
}

TEST(SampleStore, ShowsEveryBodyAndAttachmentForm) {
  TempDir dir;
  std::string path = dir / "sample.pst";
  {
    PstBuilder b(path);
    EXPECT_GE(pstgen::WriteSampleStore(b), 30);
    b.Finish();
  }
  EXPECT_LT(std::filesystem::file_size(path), 1u << 20);
  auto store = writer_test::OpenStore(path);
  ASSERT_TRUE(store);
  std::map<std::string, int> seen;
  ForEachMessage(*store, pst::ndb::kNidRootFolder, [&](const Message& m, pst::ndb::NodeId folder) {
    const auto& pc = m.properties();
    if (folder == *store->SpecialFolderId(pst::messaging::SpecialFolder::kIpmSubtree))
      seen["in subtree"]++;
    if (m.depth() >= 3) seen["embedded 3 deep"]++;
    if (pc.Get(tags::kHtml).ok()) seen["html"]++;
    if (!pc.Get(tags::kBody).ok() && !pc.Get(tags::kHtml).ok() &&
        !pc.Get(tags::kRtfCompressed).ok())
      seen["no body"]++;
    if (Utf8(pc.Get(tags::kSubject)).starts_with("\x01")) seen["prefix marker"]++;
    if (!pc.Get(tags::kSubject).ok()) seen["no subject"]++;
    if (auto rtf = pc.Get(tags::kRtfCompressed); rtf.ok()) {
      std::string raw(reinterpret_cast<const char*>(rtf->bytes().data()), rtf->bytes().size());
      seen[raw.substr(8, 4)]++;  // LZFu or MELA
      if (raw.find("fromhtml1") != std::string::npos) seen["rtf html"]++;
      if (raw.find("fromtext") != std::string::npos) seen["rtf text"]++;
    }
    auto ids = m.AttachmentIds();
    ASSERT_TRUE(ids.ok());
    for (pst::ndb::NodeId a : *ids) {
      auto att = m.OpenAttachment(a);
      ASSERT_TRUE(att.ok());
      if (att->method() == tags::kAttachByReference) seen["by reference"]++;
      if (att->method() != tags::kAttachByValue) continue;
      auto data = att->OpenData();
      std::uint64_t size = data.ok() ? data->size() : 0;
      seen[size == 0     ? "empty attachment"
           : size > 8176 ? "multi-block attachment"
                         : "small attachment"]++;
    }
  });
  for (const char* form : {"in subtree", "embedded 3 deep", "html", "no body", "prefix marker",
                           "no subject", "LZFu", "MELA", "rtf html", "rtf text", "by reference",
                           "empty attachment", "multi-block attachment", "small attachment"}) {
    EXPECT_GT(seen[form], 0) << form;
  }
}

TEST(SampleStore, CommittedSampleIsWhatPstgenWrites) {
  std::string committed = std::string(PST2XMZ_SOURCE_DIR) + "/examples/sample.pst";
  std::string pstgen = std::string(PST2XMZ_BIN_DIR) + "/pstgen";
  if (!std::filesystem::exists(pstgen)) GTEST_SKIP() << "pstgen is not built";
  TempDir dir;
  std::string fresh = dir / "sample.pst";
  ASSERT_EQ(test_support::RunProcess(pstgen, {"--sample", "--out", fresh}).exit_code, 0);
  EXPECT_TRUE(ReadFileBytes(fresh) == ReadFileBytes(committed))
      << "examples/sample.pst is out of date: run pstgen --sample --out examples/sample.pst";
}

}  // namespace
