// A writer-made file with one damaged message: that message fails with a clear error and the other
// messages of its folder still read. Messages kept for reuse come back only while they are what
// reading the file again would give.
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

  // The file offset of the first data block of top-level node `nid`.
  std::uint64_t BlockOf(ndb::NodeId nid, std::uint32_t* size = nullptr) {
    auto db = ndb::NodeDatabase::Open(path_);
    EXPECT_TRUE(db.ok());
    if (!db.ok()) return 0;
    auto node = (*db)->FindNode(nid);
    EXPECT_TRUE(node.ok());
    if (!node.ok()) return 0;
    auto block = (*db)->FindBlock(node->data_bid);
    EXPECT_TRUE(block.ok());
    if (!block.ok()) return 0;
    if (size) *size = block->stored_size;
    return block->ref.ib;
  }

  // The file offset of message `i`'s subject ("message i", UTF-16) in its own block.
  std::uint64_t SubjectOf(int i) {
    std::uint32_t size = 0;
    const std::uint64_t start = BlockOf(messages_[i], &size);
    std::ifstream in(path_, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(start));
    std::string bytes(size, '\0');
    in.read(bytes.data(), size);
    const std::u16string text = u"message " + std::u16string(1, char16_t(u'0' + i));
    const std::size_t at =
        bytes.find(std::string(reinterpret_cast<const char*>(text.data()), 2 * text.size()));
    EXPECT_NE(at, std::string::npos);
    return start + at;
  }

  // Overwrites one byte of the file; a block changed so no longer matches its checksum.
  void DamageAt(std::uint64_t at, char value) {
    std::fstream file(path_, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(at));
    file.write(&value, 1);
  }

  test_support::TempDir dir_;
  std::string path_;
  pstwriter::FolderId folder_ = 0;
  std::vector<pstwriter::MessageId> messages_;
};

TEST_F(DamagedMessageRoundTrip, OnlyTheDamagedMessageFails) {
  DamageAt(BlockOf(messages_[1]) + kHeapSignatureOffset, '\0');
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

// The bytes change on disk after a message was kept: a kept message that comes back shows the old
// subject, a fresh reading the new one (and a checksum mismatch in the log).
TEST_F(DamagedMessageRoundTrip, KeptMessagesComeBackOnceAndOnlyWhileTheLogStood) {
  const std::uint64_t subject0 = SubjectOf(0);
  const std::uint64_t subject2 = SubjectOf(2);
  auto opened = MessageStore::OpenFile(path_);
  ASSERT_TRUE(opened.ok()) << opened.status().message();
  const MessageStore& store = **opened;
  const ndb::IntegrityLog& log = store.database().log();
  auto subject = [&](int i) {
    auto message = store.OpenMessage(messages_[i]);
    return message.ok() ? *message->properties().Get(0x0037)->AsUtf8() : message.status().message();
  };
  auto open_and_keep = [&](int i) {
    const std::uint64_t before = log.position();
    auto message = store.OpenMessage(messages_[i]);
    ASSERT_TRUE(message.ok());
    store.KeepForReuse(std::move(*message), before);
  };
  open_and_keep(0);
  open_and_keep(2);
  DamageAt(subject0, 'X');
  DamageAt(subject2, 'X');
  EXPECT_EQ(subject(0), "message 0");  // kept
  EXPECT_EQ(subject(0), "Xessage 0");  // handed out once: read again
  EXPECT_EQ(log.counts().checksum_mismatches, 1u);
  EXPECT_EQ(subject(2), "Xessage 2");  // the log moved: what was kept is let go

  open_and_keep(2);  // its reading notes a mismatch: not kept
  DamageAt(subject2, 'Y');
  EXPECT_EQ(subject(2), "Yessage 2");
  EXPECT_EQ(log.counts().checksum_mismatches, 4u);
}

}  // namespace
}  // namespace pst::messaging

#endif
