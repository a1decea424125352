// A writer-made file with one damaged message: that message fails with a clear error and the other
// messages of its folder still read.
#include <gtest/gtest.h>

#if __has_include("tools/pstwriter/pst_builder.h")

#include <filesystem>
#include <fstream>

#include "platform/pst/messaging/message_store.h"
#include "tests/support/temp_dir.h"
#include "tools/pstwriter/mapi_tags.h"
#include "tools/pstwriter/pst_builder.h"

namespace pst::messaging {
namespace {

constexpr std::size_t kHeapSignatureOffset = 2;  // HNHDR.bSig in the message's first block

class DamagedMessageRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_ / "damaged-message.pst";
    pstwriter::PstBuilder b(path_, {.crypt = ndb::CryptMethod::kNone});
    folder_ = b.AddFolder(b.ipm_subtree(), "Inbox");
    for (int i = 0; i < 3; ++i) {
      pstwriter::Message m;
      m.props.SetString(pstwriter::tags::kMessageClass, "IPM.Note");
      m.props.SetString(pstwriter::tags::kSubject, "message " + std::to_string(i));
      m.recipients.emplace_back().SetString(pstwriter::tags::kDisplayName, "Ann");
      messages_.push_back(b.AddMessage(folder_, m));
    }
    b.Finish();
  }

  // Overwrites one byte of the first data block of top-level node `nid`.
  void DamageNode(ndb::NodeId nid, std::size_t offset_in_block, std::byte value) {
    std::uint64_t at = 0;
    {
      auto db = ndb::NodeDatabase::Open(path_);
      ASSERT_TRUE(db.ok());
      auto node = (*db)->FindNode(nid);
      ASSERT_TRUE(node.ok());
      auto block = (*db)->FindBlock(node->data_bid);
      ASSERT_TRUE(block.ok());
      at = block->ref.ib + offset_in_block;
    }
    std::fstream file(path_, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(at));
    const char c = static_cast<char>(value);
    file.write(&c, 1);
  }

  test_support::TempDir dir_;
  std::string path_;
  pstwriter::FolderId folder_ = 0;
  std::vector<pstwriter::MessageId> messages_;
};

TEST_F(DamagedMessageRoundTrip, OnlyTheDamagedMessageFails) {
  DamageNode(messages_[1], kHeapSignatureOffset, std::byte{0x00});
  auto store = MessageStore::OpenFile(path_);
  ASSERT_TRUE(store.ok()) << store.status().message();
  auto folder = (*store)->OpenFolder(folder_);
  ASSERT_TRUE(folder.ok());
  auto contents = folder->OpenContentsTable();
  ASSERT_TRUE(contents.ok());
  ASSERT_EQ(contents->row_count(), 3u);
  std::vector<std::string> subjects;
  for (std::size_t i = 0; i < contents->row_count(); ++i) {
    auto row = contents->ReadRow(i);
    ASSERT_TRUE(row.ok());
    auto message = (*store)->OpenMessage(row->row_id());
    if (row->row_id() == messages_[1]) {
      EXPECT_EQ(message.status().code(), ErrorCode::kCorrupt);
      continue;
    }
    ASSERT_TRUE(message.ok()) << message.status().message();
    subjects.push_back(*message->properties().Get(0x0037)->AsUtf8());
    auto recipients = message->OpenRecipientTable();
    ASSERT_TRUE(recipients.ok() && recipients->has_value());
    EXPECT_EQ((*recipients)->row_count(), 1u);
  }
  EXPECT_EQ(subjects, (std::vector<std::string>{"message 0", "message 2"}));
}

}  // namespace
}  // namespace pst::messaging

#endif
