// Writer and reader agree on the store: folders of every class nested deep, special folders by
// entry id and by receive-folder table, the valid-folder mask, offline layout, password, the
// file variants and block encodings.
#include <gtest/gtest.h>

#include "platform/pst/messaging/folder.h"
#include "platform/pst/messaging/message.h"
#include "tests/tools/writer_test_support.h"
#include "tools/pstwriter/mapi_tags.h"
#include "tools/pstwriter/message_helpers.h"
#include "tools/pstwriter/pst_builder.h"

namespace {

using namespace pstwriter;
using pst::messaging::MessageStore;
using test_support::TempDir;
using writer_test::OpenStore;

struct Variant {
  FileFormat format;
  pst::ndb::CryptMethod crypt;
};

class StoreRoundTrip : public ::testing::TestWithParam<Variant> {};

TEST_P(StoreRoundTrip, FoldersOfEveryClassNestDeepWithTheirCounts) {
  TempDir dir;
  std::string path = dir / "folders.pst";
  FolderId deepest = 0, imap = 0, calendar = 0, none = 0;
  {
    PstBuilder b(path, {.format = GetParam().format, .crypt = GetParam().crypt});
    FolderId parent = b.ipm_subtree();
    for (int level = 1; level <= 6; ++level)
      parent = b.AddFolder(parent, "Level " + std::to_string(level));
    deepest = parent;
    imap = b.AddFolder(b.ipm_subtree(), "Imap", "IPF.Imap");
    calendar = b.AddFolder(b.ipm_subtree(), "Calendar", "IPF.Appointment");
    none = b.AddFolder(b.ipm_subtree(), "Plain", "");
    for (int i = 0; i < 3; ++i)
      b.AddMessage(deepest, MakeMail("m" + std::to_string(i), "A", "a@x", 0));
    b.Finish();
  }
  auto store = OpenStore(path);
  ASSERT_TRUE(store);
  auto subtree = store->SpecialFolderId(pst::messaging::SpecialFolder::kIpmSubtree);
  ASSERT_TRUE(subtree.has_value());

  pst::ndb::NodeId current = *subtree;
  for (int level = 1; level <= 6; ++level) {
    auto folder = store->OpenFolder(current);
    ASSERT_TRUE(folder.ok());
    auto child = folder->FindSubfolder("Level " + std::to_string(level));
    ASSERT_TRUE(child.ok() && child->has_value()) << "level " << level;
    current = **child;
  }
  EXPECT_EQ(current, deepest);
  auto leaf = store->OpenFolder(deepest);
  ASSERT_TRUE(leaf.ok());
  EXPECT_EQ(leaf->content_count(), 3);
  EXPECT_EQ(leaf->container_class(), "IPF.Note");
  auto contents = leaf->OpenContentsTable();
  ASSERT_TRUE(contents.ok());
  EXPECT_EQ(contents->row_count(), 3u);

  EXPECT_EQ(store->OpenFolder(imap)->container_class(), "IPF.Imap");
  EXPECT_EQ(store->OpenFolder(calendar)->container_class(), "IPF.Appointment");
  EXPECT_FALSE(store->OpenFolder(none)->properties().Get(tags::kContainerClass).ok());
}

TEST_P(StoreRoundTrip, SpecialFoldersResolveByEntryIdAndReceiveFolderTable) {
  TempDir dir;
  std::string path = dir / "special.pst";
  FolderId inbox, sent, deleted, outbox;
  {
    PstBuilder b(path, {.format = GetParam().format, .crypt = GetParam().crypt});
    inbox = b.AddFolder(b.ipm_subtree(), "Inbox");
    sent = b.AddFolder(b.ipm_subtree(), "Sent Items");
    deleted = b.AddFolder(b.ipm_subtree(), "Deleted Items");
    outbox = b.AddFolder(b.ipm_subtree(), "Outbox");
    b.SetSpecialFolder(SpecialFolder::kInbox, inbox);
    b.SetSpecialFolder(SpecialFolder::kSentItems, sent);
    b.SetSpecialFolder(SpecialFolder::kDeletedItems, deleted);
    b.SetSpecialFolder(SpecialFolder::kOutbox, outbox);
    b.Finish();
  }
  auto store = OpenStore(path);
  ASSERT_TRUE(store);
  using SF = pst::messaging::SpecialFolder;
  EXPECT_EQ(store->SpecialFolderId(SF::kSentMail), sent);
  EXPECT_EQ(store->SpecialFolderId(SF::kWastebasket), deleted);
  EXPECT_EQ(store->SpecialFolderId(SF::kOutbox), outbox);
  ASSERT_TRUE(store->SpecialFolderId(SF::kFinder).has_value());
  EXPECT_EQ(store->OpenFolder(*store->SpecialFolderId(SF::kFinder))->display_name(), "Search Root");
  auto receiving = store->ReceiveFolderFor("IPM.Note");
  ASSERT_TRUE(receiving.ok());
  EXPECT_EQ(*receiving, inbox);
  EXPECT_EQ(store->stored_valid_folder_mask(), 0x01u | 0x02u | 0x04u | 0x08u | 0x10u | 0x80u);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, StoreRoundTrip,
    ::testing::Values(Variant{FileFormat::kUnicode, pst::ndb::CryptMethod::kPermute},
                      Variant{FileFormat::kUnicode, pst::ndb::CryptMethod::kNone},
                      Variant{FileFormat::kUnicode, pst::ndb::CryptMethod::kCyclic},
                      Variant{FileFormat::kUnicode4k, pst::ndb::CryptMethod::kPermute},
                      Variant{FileFormat::kUnicode4k, pst::ndb::CryptMethod::kNone},
                      Variant{FileFormat::kAnsi, pst::ndb::CryptMethod::kPermute},
                      Variant{FileFormat::kAnsi, pst::ndb::CryptMethod::kCyclic}),
    [](const auto& info) {
      return std::string(info.param.format == FileFormat::kUnicode ? "Unicode"
                         : info.param.format == FileFormat::kAnsi  ? "Ansi"
                                                                   : "Unicode4k") +
             (info.param.crypt == pst::ndb::CryptMethod::kNone      ? "None"
              : info.param.crypt == pst::ndb::CryptMethod::kPermute ? "Permute"
                                                                    : "Cyclic");
    });

TEST(StoreRoundTripLayout, OfflineLayoutKeepsNoEntryIdsAndTheSubtreeUnderRootMailbox) {
  TempDir dir;
  std::string path = dir / "offline.pst";
  FolderId subtree;
  {
    PstBuilder b(path, {.valid_folder_mask = false, .offline_layout = true});
    subtree = b.ipm_subtree();
    b.AddFolder(subtree, "Inbox");
    b.Finish();
  }
  auto store = OpenStore(path);
  ASSERT_TRUE(store);
  EXPECT_FALSE(store->SpecialFolderId(pst::messaging::SpecialFolder::kIpmSubtree).has_value());
  EXPECT_FALSE(store->stored_valid_folder_mask().has_value());
  auto found = store->FindOfflineIpmSubtree();
  ASSERT_TRUE(found.ok());
  EXPECT_EQ(*found, subtree);
}

TEST(StoreRoundTripLayout, StoreWithoutEntryIdsStillNamesItsInboxByReceiveFolder) {
  TempDir dir;
  std::string path = dir / "noids.pst";
  FolderId inbox;
  {
    PstBuilder b(path, {.store_entry_ids = false, .search_root = false});
    inbox = b.AddFolder(b.ipm_subtree(), "Inbox");
    b.SetSpecialFolder(SpecialFolder::kInbox, inbox);
    b.Finish();
  }
  auto store = OpenStore(path);
  ASSERT_TRUE(store);
  EXPECT_FALSE(store->SpecialFolderId(pst::messaging::SpecialFolder::kIpmSubtree).has_value());
  EXPECT_EQ(store->stored_valid_folder_mask(), 0x02u);
  EXPECT_EQ(*store->ReceiveFolderFor(""), inbox);
}

TEST(StoreRoundTripLayout, ExtraStorePropertiesReplaceComputedOnes) {
  TempDir dir;
  std::string path = dir / "forced.pst";
  {
    StoreOptions options;
    options.extra_store_properties.SetInt32(tags::kValidFolderMask, 0xFF);
    options.extra_store_properties.SetBinary(tags::kIpmSentmailEntryId, Bytes(24, std::byte{7}));
    PstBuilder b(path, options);
    b.Finish();
  }
  auto store = OpenStore(path);
  ASSERT_TRUE(store);
  EXPECT_EQ(store->stored_valid_folder_mask(), 0xFFu);
  EXPECT_FALSE(store->SpecialFolderId(pst::messaging::SpecialFolder::kSentMail).has_value());
  EXPECT_TRUE(store->SpecialFolderId(pst::messaging::SpecialFolder::kIpmSubtree).has_value());
}

TEST(StoreRoundTripLayout, PasswordIsStoredAsItsChecksum) {
  TempDir dir;
  std::string path = dir / "password.pst";
  {
    PstBuilder b(path, {.password = "Secret1"});
    b.Finish();
  }
  auto store = OpenStore(path);
  ASSERT_TRUE(store);
  EXPECT_TRUE(store->password_protected());
  EXPECT_TRUE(store->CheckPassword("Secret1"));
  EXPECT_FALSE(store->CheckPassword("secret1"));
}

TEST(StoreRoundTripLayout, StoreNameAndRecordKeyAreKept) {
  TempDir dir;
  std::string path = dir / "name.pst";
  std::array<std::uint8_t, 16> key{};
  for (int i = 0; i < 16; ++i) key[i] = std::uint8_t(0xA0 + i);
  {
    PstBuilder b(path, {.display_name = "Archiv Größe", .record_key = key});
    b.Finish();
  }
  auto store = OpenStore(path);
  ASSERT_TRUE(store);
  EXPECT_EQ(store->display_name(), "Archiv Größe");
  EXPECT_EQ(store->record_key()[0], std::byte{0xA0});
  EXPECT_EQ(store->record_key()[15], std::byte{0xAF});
}

}  // namespace
