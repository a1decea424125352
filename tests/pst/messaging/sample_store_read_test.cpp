// The messaging layer on real files made by mail clients and other tools: folder trees and counts,
// special and receive folders, offline stores, recipients, attachments, embedded messages, 8-bit
// strings and passwords. Skipped when the sample folder is absent.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/pst/messaging/message_store.h"
#include "platform/pst/messaging/property_tags.h"
#include "platform/pst/ndb/pst_crc.h"

namespace pst::messaging {
namespace {

std::string SamplePath(const std::string& name) {
  return std::string(PST2XMZ_SAMPLES_DIR) + "/" + name;
}

#define OPEN_SAMPLE(store, name)                                                \
  if (!std::filesystem::exists(SamplePath(name))) GTEST_SKIP() << "no samples"; \
  auto store##_result = MessageStore::OpenFile(SamplePath(name));               \
  ASSERT_TRUE(store##_result.ok()) << store##_result.status().message();        \
  const MessageStore& store = **store##_result

// The folder at `path` of display names below folder `from`.
Result<Folder> FolderAt(const MessageStore& store, ndb::NodeId from,
                        std::vector<std::string> path) {
  ndb::NodeId nid = from;
  for (const auto& name : path) {
    auto folder = store.OpenFolder(nid);
    if (!folder) return folder.status();
    auto child = folder->FindSubfolder(name);
    if (!child) return child.status();
    if (!child->has_value()) return Status::NotFound("no folder " + name);
    nid = **child;
  }
  return store.OpenFolder(nid);
}

std::size_t MessageCount(const MessageStore& store, ndb::NodeId from,
                         std::vector<std::string> path) {
  auto folder = FolderAt(store, from, path);
  EXPECT_TRUE(folder.ok()) << path.back() << ": " << folder.status().message();
  if (!folder) return 0;
  auto table = folder->OpenContentsTable();
  EXPECT_TRUE(table.ok()) << table.status().message();
  return table ? table->row_count() : 0;
}

ndb::NodeId IpmSubtree(const MessageStore& store) {
  auto id = store.IpmSubtreeId();
  return id && id->has_value() ? **id : 0;
}

// The first message of the folder `path` below the IPM subtree ({} for the subtree itself).
Result<Message> FirstMessage(const MessageStore& store, std::vector<std::string> path) {
  auto folder = FolderAt(store, IpmSubtree(store), path);
  if (!folder) return folder.status();
  auto table = folder->OpenContentsTable();
  if (!table) return table.status();
  auto row = table->ReadRow(0);
  if (!row) return row.status();
  return store.OpenMessage(row->row_id());
}

// The subject as stored: these files keep the prefix marker (0x01 and a length character) in front.
std::string Subject(const Message& m) {
  auto value = m.properties().Get(tags::kSubjectId);
  return value ? value->AsUtf8().value() : "";
}

TEST(SampleStores, OfflineStoreHasItsSubtreeBelowRootMailbox) {
  OPEN_SAMPLE(store, "aspose-sample.ost");
  EXPECT_TRUE(store.offline_store());
  EXPECT_FALSE(store.SpecialFolderId(SpecialFolder::kIpmSubtree).has_value());
  auto subtree = store.FindOfflineIpmSubtree();
  ASSERT_TRUE(subtree.ok() && subtree->has_value());
  EXPECT_EQ(store.OpenFolder(**subtree)->display_name(), "IPM_SUBTREE");
  EXPECT_EQ(MessageCount(store, **subtree, {"Inbox"}), 12u);
  EXPECT_EQ(MessageCount(store, **subtree, {"Inbox", "sub1"}), 25u);
  EXPECT_EQ(MessageCount(store, **subtree, {"Inbox", "sub2"}), 29u);
  EXPECT_EQ(MessageCount(store, **subtree, {"Deleted Items"}), 10u);
  EXPECT_EQ(MessageCount(store, **subtree, {"Sent Items"}), 6u);
  EXPECT_EQ(MessageCount(store, **subtree, {"Sync Issues"}), 9u);
  auto inbox = store.ReceiveFolderFor("IPM.Note");
  ASSERT_TRUE(inbox.ok() && inbox->has_value());
  EXPECT_EQ(**inbox, FolderAt(store, **subtree, {"Inbox"})->id());
  EXPECT_EQ(IpmSubtree(store), **subtree);
  // Only the subtree and the inbox are known; outbox, sent and deleted items have no entry ids.
  EXPECT_EQ(store.ComputeValidFolderMask(), 0x03u);
  EXPECT_FALSE(store.password_protected());
  EXPECT_TRUE(store.CheckPassword("anything"));
}

TEST(SampleStores, FourKilobytePageOfflineStore) {
  OPEN_SAMPLE(store, "pstx-outlookcom.ost");
  EXPECT_EQ(store.database().header().variant, ndb::FormatVariant::kUnicode4k);
  const ndb::NodeId subtree = IpmSubtree(store);
  ASSERT_NE(subtree, 0u);
  EXPECT_EQ(MessageCount(store, subtree, {"Inbox"}), 10u);
  EXPECT_EQ(MessageCount(store, subtree, {"Sent Items"}), 2u);
  EXPECT_EQ(MessageCount(store, subtree, {"Deleted Items"}), 1u);
  EXPECT_EQ(MessageCount(store, subtree, {"Sync Issues"}), 1u);
  EXPECT_EQ(MessageCount(store, subtree, {"Calendar", "United States holidays"}), 160u);
}

TEST(SampleStores, SpecialFoldersResolveThroughEntryIds) {
  OPEN_SAMPLE(store, "aspose-outlook.pst");
  const ndb::NodeId subtree = IpmSubtree(store);
  EXPECT_EQ(store.OpenFolder(subtree)->display_name(), "Top of Personal Folders");
  EXPECT_EQ(MessageCount(store, subtree, {"Inbox"}), 8u);
  EXPECT_EQ(MessageCount(store, subtree, {"Sent Items"}), 6u);
  auto stored = store.properties().Get(tags::kIpmSentMailEntryId);
  ASSERT_TRUE(stored.ok());
  auto resolved = store.ResolveEntryId(stored->bytes());
  ASSERT_TRUE(resolved.ok());
  EXPECT_EQ(store.OpenFolder(*resolved)->display_name(), "Sent Items");
  EXPECT_EQ(store.MakeEntryId(*resolved).Encode(), stored->bytes());
  auto inbox = store.ReceiveFolderFor("IPM.Note.Custom");
  ASSERT_TRUE(inbox.ok() && inbox->has_value());
  EXPECT_EQ(store.OpenFolder(**inbox)->display_name(), "Inbox");
  auto foreign = store.MakeEntryId(*resolved).Encode();
  foreign[5] ^= std::byte{1};
  EXPECT_EQ(store.ResolveEntryId(foreign).status().code(), ErrorCode::kNotFound);
  EXPECT_EQ(store.ComputeValidFolderMask(), *store.stored_valid_folder_mask());
}

TEST(SampleStores, SearchFolderResultsInAReservedHeapAreUnsupportedNotCorrupt) {
  OPEN_SAMPLE(store, "aspose-outlook.pst");
  auto search = store.OpenFolder(0x723);  // "All Messages", a search folder
  ASSERT_TRUE(search.ok()) << search.status().message();
  EXPECT_EQ(search->display_name(), "All Messages");
  EXPECT_EQ(search->OpenContentsTable().status().code(), ErrorCode::kUnsupported);
}

TEST(SampleStores, FolderNamesAndCountsOfAUnicodeFile) {
  OPEN_SAMPLE(store, "gopst-support.pst");
  const ndb::NodeId subtree = IpmSubtree(store);
  EXPECT_EQ(MessageCount(store, subtree, {"Drafts"}), 6u);
  EXPECT_EQ(MessageCount(store, subtree, {"Sent Messages"}), 11u);
  auto task = FolderAt(store, subtree, {"Attivit\xC3\xA0"});
  ASSERT_TRUE(task.ok());
  EXPECT_EQ(task->container_class(), "IPF.Task");
}

TEST(SampleStores, TwoHundredRecipients) {
  OPEN_SAMPLE(store, "rubymsg-200rcpt.pst");
  auto message = FirstMessage(store, {});
  ASSERT_TRUE(message.ok()) << message.status().message();
  auto recipients = message->OpenRecipientTable();
  ASSERT_TRUE(recipients.ok() && recipients->has_value());
  const auto& table = **recipients;
  ASSERT_EQ(table.row_count(), 200u);
  for (std::size_t i = 0; i < table.row_count(); ++i) {
    auto row = table.ReadRow(i);
    ASSERT_TRUE(row.ok());
    auto name = table.CellById(*row, 0x3001);
    ASSERT_TRUE(name.ok()) << i;
    EXPECT_FALSE(name->AsUtf8()->empty());
  }
}

TEST(SampleStores, EmbeddedMessage) {
  OPEN_SAMPLE(store, "pstsdk-submessage.pst");
  auto message = FirstMessage(store, {"submessage"});
  ASSERT_TRUE(message.ok()) << message.status().message();
  EXPECT_EQ(Subject(*message),
            "\x01\x01"
            "This is a message which has an embedded message attached");
  auto ids = message->AttachmentIds();
  ASSERT_TRUE(ids.ok());
  ASSERT_EQ(ids->size(), 1u);
  auto attachment = message->OpenAttachment(ids->front());
  ASSERT_TRUE(attachment.ok());
  EXPECT_EQ(attachment->method(), tags::kAttachEmbeddedMessage);
  auto embedded = attachment->OpenEmbeddedMessage();
  ASSERT_TRUE(embedded.ok()) << embedded.status().message();
  EXPECT_EQ(embedded->depth(), 1);
  EXPECT_EQ(Subject(*embedded),
            "\x01\x01"
            "This is an embedded message");
  auto recipients = embedded->OpenRecipientTable();
  ASSERT_TRUE(recipients.ok() && recipients->has_value());
  EXPECT_GT((*recipients)->row_count(), 0u);
  EXPECT_TRUE(embedded->properties().FindTag(tags::kRtfCompressed.id).has_value());
}

TEST(SampleStores, AttachmentBytesStreamInPieces) {
  OPEN_SAMPLE(store, "pstsdk-sample1.pst");
  auto message = FirstMessage(store, {"Sample1"});
  ASSERT_TRUE(message.ok()) << message.status().message();
  auto ids = message->AttachmentIds();
  ASSERT_EQ(ids->size(), 1u);
  auto attachment = message->OpenAttachment(ids->front());
  EXPECT_EQ(*attachment->properties().Get(tags::kAttachLongFilenameId)->AsUtf8(),
            "leah_thumper.jpg");
  auto data = attachment->OpenData();
  ASSERT_TRUE(data.ok()) << data.status().message();
  ASSERT_EQ(data->size(), 93142u);  // as an independent reader extracts it
  std::uint32_t crc = 0;
  std::vector<std::byte> piece(4000);
  for (std::uint64_t at = 0; at < data->size();) {
    auto n = data->ReadAt(at, piece);
    ASSERT_TRUE(n.ok());
    ASSERT_GT(*n, 0u);
    crc = util::ComputeCrc(crc, {piece.data(), *n});
    at += *n;
  }
  EXPECT_EQ(crc, 0x4F50399Fu);  // of the bytes the independent reader extracts
}

TEST(SampleStores, AnsiFileStringsCarryTheMessageCodePage) {
  OPEN_SAMPLE(store, "pstsdk-sample2.pst");
  EXPECT_EQ(store.database().header().variant, ndb::FormatVariant::kAnsi);
  auto message = FirstMessage(store, {"Sample2"});
  ASSERT_TRUE(message.ok()) << message.status().message();
  auto subject = message->properties().Get(tags::kSubjectId);
  ASSERT_TRUE(subject.ok());
  EXPECT_EQ(subject->type(), ltp::prop_type::kString8);
  EXPECT_EQ(subject->code_page(), 1252u);
  EXPECT_EQ(*subject->AsUtf8(),
            "\x01\x01"
            "Here is a sample message");
  EXPECT_EQ(FolderAt(store, IpmSubtree(store), {"Sample2"})->container_class(), "IPF.Note");
  auto ids = message->AttachmentIds();
  ASSERT_EQ(ids->size(), 1u);
  EXPECT_EQ(message->OpenAttachment(ids->front())->OpenData()->size(), 93142u);
}

TEST(SampleStores, PasswordCrcMatchesOnlyTheRightPassword) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"jlp-passworded.pst", "testpassword"},
      {"aspose-password.pst", "Password1"},
      {"pstsdk-test-ansi.pst", "test"},
      {"pstsdk-test-unicode.pst", "test"}};
  for (const auto& [file, password] : cases) {
    OPEN_SAMPLE(store, file);
    EXPECT_TRUE(store.password_protected()) << file;
    EXPECT_TRUE(store.CheckPassword(password)) << file;
    EXPECT_FALSE(store.CheckPassword("wrong")) << file;
    EXPECT_FALSE(store.CheckPassword("")) << file;
  }
}

TEST(SampleStores, NamedPropertiesOfTheStore) {
  OPEN_SAMPLE(store, "pstsdk-sample2.pst");
  auto map = store.named_properties();
  ASSERT_TRUE(map.ok()) << map.status().message();
  EXPECT_EQ((*map)->damaged_entries(), 0u);
  auto keywords = (*map)->FindId(kPsPublicStrings, "Keywords");
  ASSERT_TRUE(keywords.has_value());
  auto message = FirstMessage(store, {"Sample2"});
  auto categories = message->properties().Get(*keywords);
  ASSERT_TRUE(categories.ok());
  ASSERT_EQ(*categories->MultiValueCount(), 2u);
  EXPECT_EQ(*categories->MultiValueAt(0)->AsUtf8(), "Green Category");
}

TEST(SampleStores, DamagedAndForeignFilesAreRefused) {
  if (!std::filesystem::exists(SamplePath("notpst-aspose-smtp.pst"))) GTEST_SKIP();
  EXPECT_EQ(MessageStore::OpenFile(SamplePath("notpst-aspose-smtp.pst")).status().code(),
            ErrorCode::kNotPst);
  EXPECT_EQ(MessageStore::OpenFile(SamplePath("corrupt-aspose-bulk.pst")).status().code(),
            ErrorCode::kCorrupt);
}

}  // namespace
}  // namespace pst::messaging
