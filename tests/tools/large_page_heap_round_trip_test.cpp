// Writer and reader agree on heaps over several blocks in 4 KiB-page files, where a heap id keeps
// its block index from bit 19: a message whose values and property tree lie in later blocks, and a
// contents table whose cells fill several blocks.
#include <gtest/gtest.h>

#include "platform/pst/messaging/folder.h"
#include "platform/pst/messaging/message.h"
#include "tests/tools/writer_test_support.h"
#include "tools/pstwriter/mapi_tags.h"
#include "tools/pstwriter/message_helpers.h"
#include "tools/pstwriter/pst_builder.h"

namespace {

using namespace pstwriter;
using test_support::TempDir;
using writer_test::OpenStore;
using writer_test::Utf8;

const StoreOptions kLargePages{.format = FileFormat::kUnicode4k,
                               .crypt = pst::ndb::CryptMethod::kNone};

Bytes ValueOf(std::uint16_t id) { return Bytes(3000, std::byte(id * 5)); }

TEST(LargePageHeapRoundTrip, MessageWithValuesInLaterHeapBlocksReadsBack) {
  TempDir dir;
  const std::string path = dir / "large.ost";
  Message m = MakeMail("subject of a large message", "Sender Name", "sender@example.com", 0);
  m.props.SetString(tags::kBody, "body text\r\n");
  // 54 values of 3,000 bytes: about 160 KB, three heap blocks of up to 64 KiB.
  for (std::uint16_t id = 0x6700; id < 0x6736; ++id) m.props.SetBinary(id, ValueOf(id));
  MessageId id;
  {
    PstBuilder b(path, kLargePages);
    id = b.AddMessage(b.AddFolder(b.ipm_subtree(), "Inbox"), m);
    b.Finish();
  }
  auto store = OpenStore(path);
  ASSERT_TRUE(store);
  auto msg = store->OpenMessage(id);
  ASSERT_TRUE(msg.ok()) << msg.status().message();
  const auto& pc = msg->properties();
  EXPECT_GE(pc.node().block_count(), 3u);
  EXPECT_EQ(Utf8(pc.Get(tags::kSubject)), "subject of a large message");
  EXPECT_EQ(Utf8(pc.Get(tags::kBody)), "body text\r\n");
  for (std::uint16_t prop = 0x6700; prop < 0x6736; ++prop) {
    auto v = pc.Get(prop);
    ASSERT_TRUE(v.ok()) << prop << ": " << v.status().message();
    EXPECT_EQ(v->bytes(), ValueOf(prop)) << prop;
  }
}

TEST(LargePageHeapRoundTrip, ContentsTableOverSeveralHeapBlocksKeepsEveryRow) {
  TempDir dir;
  const std::string path = dir / "contents.ost";
  const std::string padding(150, 'x');  // 300 bytes of UTF-16 a subject cell
  FolderId folder;
  std::vector<MessageId> ids;
  {
    PstBuilder b(path, kLargePages);
    folder = b.AddFolder(b.ipm_subtree(), "Many");
    for (int i = 0; i < 500; ++i) {
      ids.push_back(
          b.AddMessage(folder, MakeMail(std::to_string(i) + padding, "S", "s@example.com", i)));
    }
    b.Finish();
  }
  auto store = OpenStore(path);
  ASSERT_TRUE(store);
  auto contents = store->OpenFolder(folder)->OpenContentsTable();
  ASSERT_TRUE(contents.ok()) << contents.status().message();
  EXPECT_GE(contents->node().block_count(), 3u);
  ASSERT_EQ(contents->row_count(), 500u);
  for (std::size_t i = 0; i < 500; ++i) {
    auto row = contents->ReadRow(i);
    ASSERT_TRUE(row.ok()) << i << ": " << row.status().message();
    ASSERT_EQ(row->row_id(), ids[i]);
    ASSERT_EQ(Utf8(contents->CellById(*row, tags::kSubject)), std::to_string(i) + padding) << i;
  }
  EXPECT_EQ(*contents->FindRow(ids[499]), 499u);
}

}  // namespace
