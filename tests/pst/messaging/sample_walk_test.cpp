// Every folder, message, property, recipient, attachment and embedded message of every readable
// sample opens and reads without error: the whole-file walk the mail library will do.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/pst/messaging/message_store.h"
#include "platform/pst/messaging/node_ids.h"
#include "platform/pst/messaging/property_tags.h"

namespace pst::messaging {
namespace {

struct WalkCounts {
  int folders = 0;
  int messages = 0;
  int attachments = 0;
  int embedded = 0;
  std::vector<std::string> errors;
};

void Fail(WalkCounts& counts, const std::string& what, const Status& status) {
  counts.errors.push_back(what + ": " + status.message());
}

void ReadAllProperties(const ltp::PropertyContext& pc, WalkCounts& counts) {
  for (const auto& entry : pc.entries()) {
    auto value = pc.Get(entry.tag.id);
    if (!value) Fail(counts, "property " + std::to_string(entry.tag.value()), value.status());
  }
}

void ReadTable(const ltp::TableContext& table, WalkCounts& counts) {
  for (std::size_t i = 0; i < table.row_count(); ++i) {
    auto row = table.ReadRow(i);
    if (!row) return Fail(counts, "row", row.status());
    for (std::size_t c = 0; c < table.columns().size(); ++c) {
      auto cell = table.Cell(*row, c);
      if (!cell && cell.status().code() != ErrorCode::kNotFound)
        Fail(counts, "cell", cell.status());
    }
  }
}

void WalkMessage(const Message& message, WalkCounts& counts) {
  ++counts.messages;
  ReadAllProperties(message.properties(), counts);
  auto recipients = message.OpenRecipientTable();
  if (!recipients)
    Fail(counts, "recipients", recipients.status());
  else if (recipients->has_value())
    ReadTable(**recipients, counts);
  auto ids = message.AttachmentIds();
  if (!ids) return Fail(counts, "attachment table", ids.status());
  for (ndb::NodeId id : *ids) {
    auto attachment = message.OpenAttachment(id);
    if (!attachment) {
      Fail(counts, "attachment", attachment.status());
      continue;
    }
    ++counts.attachments;
    ReadAllProperties(attachment->properties(), counts);
    if (attachment->method() == tags::kAttachEmbeddedMessage) {
      auto inner = attachment->OpenEmbeddedMessage();
      if (!inner) {
        Fail(counts, "embedded message", inner.status());
        continue;
      }
      ++counts.embedded;
      WalkMessage(*inner, counts);
    }
  }
}

void WalkFolder(const MessageStore& store, ndb::NodeId nid, int depth, WalkCounts& counts) {
  ASSERT_LT(depth, 64);
  auto folder = store.OpenFolder(nid);
  if (!folder) return Fail(counts, "folder", folder.status());
  ++counts.folders;
  ReadAllProperties(folder->properties(), counts);
  // Search folders keep their results in a heap form of their own; only normal folders hold mail.
  if (TypeOf(nid) == NodeType::kNormalFolder) {
    auto contents = folder->OpenContentsTable();
    if (!contents) return Fail(counts, "contents table", contents.status());
    for (std::size_t i = 0; i < contents->row_count(); ++i) {
      auto row = contents->ReadRow(i);
      if (!row) return Fail(counts, "contents row", row.status());
      auto message = store.OpenMessage(row->row_id());
      if (!message)
        Fail(counts, "message", message.status());
      else
        WalkMessage(*message, counts);
    }
  }
  auto children = folder->SubfolderIds();
  if (!children) return Fail(counts, "hierarchy table", children.status());
  for (ndb::NodeId child : *children) WalkFolder(store, child, depth + 1, counts);
}

class SampleWalk : public ::testing::TestWithParam<const char*> {};

TEST_P(SampleWalk, EveryObjectReads) {
  const std::string path = std::string(PST2XMZ_SAMPLES_DIR) + "/" + GetParam();
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "no samples";
  auto store = MessageStore::OpenFile(path);
  ASSERT_TRUE(store.ok()) << store.status().message();
  WalkCounts counts;
  WalkFolder(**store, ndb::kNidRootFolder, 0, counts);
  EXPECT_TRUE(counts.errors.empty())
      << counts.errors.size() << " errors, first: " << counts.errors[0];
  EXPECT_GT(counts.folders, 1);
  auto map = (*store)->named_properties();
  ASSERT_TRUE(map.ok()) << map.status().message();
  EXPECT_EQ((*map)->damaged_entries(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, SampleWalk,
    ::testing::Values("apachelist-test.pst", "aspose-backupout.pst", "aspose-contacts.pst",
                      "aspose-outlook.pst", "aspose-password.pst", "aspose-pst-named.ost",
                      "aspose-sample.ost", "aspose-testpart1.pst", "docfetcher-test.pst",
                      "gopst-32bit.pst", "gopst-support.pst", "iped-sample.pst",
                      "jlp-dist-list.pst", "jlp-passworded.pst", "mailbagit-outlook2019.pst",
                      "pstdigger-test.pst", "pstsdk-sample1.pst", "pstsdk-sample2.pst",
                      "pstsdk-submessage.pst", "pstsdk-test-ansi.pst", "pstsdk-test-unicode.pst",
                      "pstx-outlookcom.ost", "rubymsg-200rcpt.pst", "rubymsg-attachinline.pst",
                      "rubymsg-msginmsg.pst", "tika-bodytypes.pst", "tika-testpst.pst"),
    [](const auto& info) {
      std::string name = info.param;
      for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      return name;
    });

}  // namespace
}  // namespace pst::messaging
