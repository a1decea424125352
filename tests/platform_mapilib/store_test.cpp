// The store: special folders from its entry ids and receive-folder table, the computed valid-folder
// mask, the offline layout's IPM subtree, entry-id comparison and opening.
#include <gtest/gtest.h>

#include <map>

#include "tests/platform_mapilib/library_fixture.h"
#include "tests/platform_mapilib/writer_files.h"

namespace platform_mapilib_test {
namespace {

struct Validated {
  std::map<ULONG, std::vector<std::byte>> ids;  // by tag
  std::optional<ULONG> mask;
};

Validated Validate(IMsgStore& store) {
  Validated result;
  ULONG count = 0;
  LPSPropValue values = nullptr;
  EXPECT_EQ(mapi::HrValidateIPMSubtree(&store, MAPI_FULL_IPM_TREE, &count, &values, nullptr), S_OK);
  mapi::MapiBufferPtr<SPropValue> owned(values);
  for (ULONG i = 0; i < count; ++i) {
    if (values[i].ulPropTag == PR_VALID_FOLDER_MASK) result.mask = values[i].Value.ul;
    if (PROP_TYPE(values[i].ulPropTag) == PT_BINARY) {
      const auto* b = reinterpret_cast<const std::byte*>(values[i].Value.bin.lpb);
      result.ids[values[i].ulPropTag].assign(b, b + values[i].Value.bin.cb);
    }
  }
  return result;
}

std::string DisplayName(IMsgStore& store, const std::vector<std::byte>& id) {
  auto folder = OpenEntry<IMAPIFolder>(store, id, &IID_IMAPIFolder);
  return folder ? GetOne(*folder, PR_DISPLAY_NAME).text : "";
}

TEST(Store, SpecialFoldersComeFromEntryIdsAndTheReceiveFolderTable) {
  OpenedStore opened = OpenStore(WriteMailFile("special.pst"));
  ASSERT_TRUE(opened.store);
  const Validated v = Validate(*opened.store);
  ASSERT_TRUE(v.mask);
  EXPECT_EQ(*v.mask & 0x1F, 0x1Fu);
  EXPECT_EQ(DisplayName(*opened.store, v.ids.at(kValidatedInboxEntryIdTag)), "Inbox");
  EXPECT_EQ(DisplayName(*opened.store, v.ids.at(PR_IPM_SENTMAIL_ENTRYID)), "Sent Items");
  EXPECT_EQ(DisplayName(*opened.store, v.ids.at(PR_IPM_WASTEBASKET_ENTRYID)), "Deleted Items");
  EXPECT_EQ(DisplayName(*opened.store, v.ids.at(PR_IPM_OUTBOX_ENTRYID)), "Outbox");
  EXPECT_EQ(DisplayName(*opened.store, v.ids.at(PR_IPM_SUBTREE_ENTRYID)),
            "Top of Personal Folders");
  const auto& inbox = v.ids.at(kValidatedInboxEntryIdTag);
  EXPECT_EQ(inbox.size(), 24u);
  EXPECT_EQ(inbox[0], std::byte{0});
}

TEST(Store, OfflineLayoutAnswersTheSubtreeAndLeavesTheOtherIdsAbsent) {
  pstwriter::StoreOptions options;
  options.offline_layout = true;
  OpenedStore opened = OpenStore(WriteMailFile("offline.pst", options));
  ASSERT_TRUE(opened.store);
  const Validated v = Validate(*opened.store);
  ASSERT_TRUE(v.mask);
  EXPECT_EQ(*v.mask & (FOLDER_IPM_SUBTREE_VALID | FOLDER_IPM_INBOX_VALID), 0x3u);
  EXPECT_EQ(*v.mask & (FOLDER_IPM_OUTBOX_VALID | FOLDER_IPM_SENTMAIL_VALID |
                       FOLDER_IPM_WASTEBASKET_VALID),
            0u);
  EXPECT_EQ(DisplayName(*opened.store, v.ids.at(PR_IPM_SUBTREE_ENTRYID)), "IPM_SUBTREE");
  EXPECT_EQ(v.ids.count(PR_IPM_SENTMAIL_ENTRYID), 0u);
}

TEST(Store, MaskIsComputedNotCopiedWhenAnIdNamesNoFolder) {
  pstwriter::StoreOptions options;
  options.extra_store_properties.SetInt32(0x35DF, 0xFF);  // claims every folder is valid
  std::vector<std::byte> bogus(24);                       // an entry id of another store
  bogus[4] = std::byte{0x99};
  options.extra_store_properties.SetBinary(0x35E4, bogus);
  OpenedStore opened = OpenStore(WriteMailFile("badmask.pst", options));
  ASSERT_TRUE(opened.store);
  const Validated v = Validate(*opened.store);
  ASSERT_TRUE(v.mask);
  EXPECT_EQ(*v.mask & FOLDER_IPM_SENTMAIL_VALID, 0u);
  EXPECT_NE(*v.mask & FOLDER_IPM_INBOX_VALID, 0u);
}

TEST(Store, CompareEntryIdsIsTrueOnlyForTheSameNode) {
  OpenedStore opened = OpenStore(WriteMailFile("compare.pst"));
  ASSERT_TRUE(opened.store);
  const Validated v = Validate(*opened.store);
  auto a = v.ids.at(kValidatedInboxEntryIdTag);
  auto b = a;
  auto c = v.ids.at(PR_IPM_SENTMAIL_ENTRYID);
  auto compare = [&](std::vector<std::byte>& x, std::vector<std::byte>& y) {
    ULONG result = 7;
    EXPECT_EQ(opened.store->CompareEntryIDs(
                  static_cast<ULONG>(x.size()), reinterpret_cast<LPENTRYID>(x.data()),
                  static_cast<ULONG>(y.size()), reinterpret_cast<LPENTRYID>(y.data()), 0, &result),
              S_OK);
    return result;
  };
  EXPECT_NE(compare(a, b), 0u);
  EXPECT_EQ(compare(a, c), 0u);
}

TEST(Store, UnknownEntryIdDoesNotOpen) {
  OpenedStore opened = OpenStore(WriteMailFile("unknown.pst"));
  ASSERT_TRUE(opened.store);
  auto id = Validate(*opened.store).ids.at(kValidatedInboxEntryIdTag);
  id[20] = std::byte{0xE2};  // a node that does not exist
  id[21] = std::byte{0xFF};
  ULONG type = 0;
  LPUNKNOWN unknown = nullptr;
  EXPECT_TRUE(FAILED(opened.store->OpenEntry(24, reinterpret_cast<LPENTRYID>(id.data()),
                                             &IID_IMAPIFolder, 0, &type, &unknown)));
  EXPECT_EQ(unknown, nullptr);
}

TEST(Store, RealOfflineStoresFindTheirSubtree) {
  if (SamplesDir().empty()) GTEST_SKIP() << "no sample files";
  for (const char* file : {"pstx-outlookcom.ost", "aspose-sample.ost"}) {
    OpenedStore opened = OpenStore(SamplesDir() + "/" + file);
    ASSERT_TRUE(opened.store) << file;
    const Validated v = Validate(*opened.store);
    ASSERT_EQ(v.ids.count(PR_IPM_SUBTREE_ENTRYID), 1u) << file;
    EXPECT_EQ(DisplayName(*opened.store, v.ids.at(PR_IPM_SUBTREE_ENTRYID)), "IPM_SUBTREE") << file;
  }
}

}  // namespace
}  // namespace platform_mapilib_test
