// A folder of 250,000 messages is writable and readable: the contents table's row matrix spans
// thousands of blocks, its row index many heap levels, and the node B-tree several levels.
#include <gtest/gtest.h>

#include "platform/pst/messaging/folder.h"
#include "tests/tools/writer_test_support.h"
#include "tools/pstwriter/mapi_tags.h"
#include "tools/pstwriter/pst_builder.h"

namespace {

using namespace pstwriter;
using test_support::TempDir;
using writer_test::OpenStore;
using writer_test::Utf8;

TEST(TableScaling, FolderOfQuarterMillionMessagesKeepsEveryRow) {
  constexpr int kMessages = 250000;
  TempDir dir;
  std::string path = dir / "large-folder.pst";
  FolderId folder;
  MessageId first = 0, last = 0;
  {
    PstBuilder b(path, {.crypt = pst::ndb::CryptMethod::kNone});
    folder = b.AddFolder(b.ipm_subtree(), "Big");
    Message m;
    m.props.SetString(tags::kMessageClass, "IPM.Note");
    for (int i = 0; i < kMessages; ++i) {
      m.props.SetString(tags::kSubject, "m" + std::to_string(i));
      MessageId id = b.AddMessage(folder, m);
      if (i == 0) first = id;
      last = id;
    }
    b.Finish();
  }
  auto store = OpenStore(path);
  ASSERT_TRUE(store);
  auto big = store->OpenFolder(folder);
  ASSERT_TRUE(big.ok());
  EXPECT_EQ(big->content_count(), kMessages);
  auto contents = big->OpenContentsTable();
  ASSERT_TRUE(contents.ok());
  ASSERT_EQ(contents->row_count(), std::size_t(kMessages));
  auto row = contents->ReadRow(kMessages - 1);
  ASSERT_TRUE(row.ok());
  EXPECT_EQ(row->row_id(), last);
  EXPECT_EQ(Utf8(contents->CellById(*row, tags::kSubject)), "m" + std::to_string(kMessages - 1));
  EXPECT_EQ(*contents->FindRow(first), 0u);
  auto message = store->OpenMessage(last);
  ASSERT_TRUE(message.ok());
  EXPECT_EQ(Utf8(message->properties().Get(tags::kSubject)), "m" + std::to_string(kMessages - 1));
}

}  // namespace
