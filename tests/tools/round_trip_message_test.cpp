// Writer and reader agree on messages: every property type, values inline, in the heap and in
// subnodes, heaps over many blocks, recipients with and without names and addresses, attachments
// from empty to tens of megabytes, by reference, embedded messages nested deep, many subnodes,
// and 8-bit text in an ANSI file's code page.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/pst/messaging/folder.h"
#include "platform/pst/messaging/message.h"
#include "tests/tools/writer_test_support.h"
#include "tools/pstwriter/mapi_tags.h"
#include "tools/pstwriter/message_helpers.h"
#include "tools/pstwriter/pst_builder.h"
#include "tools/pstwriter/rtf_body.h"

namespace {

using namespace pstwriter;
using test_support::TempDir;
using writer_test::OpenStore;
using writer_test::ReadStream;
using writer_test::Utf8;

// Writes one message into the inbox of a new file and opens it with the reader.
class MessageRoundTrip : public ::testing::Test {
 protected:
  pst::messaging::Message WriteAndOpen(const Message& message, StoreOptions options = {}) {
    path_ = dir_ / "message.pst";
    MessageId id;
    {
      PstBuilder b(path_, std::move(options));
      id = b.AddMessage(b.AddFolder(b.ipm_subtree(), "Inbox"), message);
      b.Finish();
    }
    store_ = OpenStore(path_);
    if (!store_) throw std::runtime_error("store did not open");
    auto opened = store_->OpenMessage(id);
    if (!opened.ok()) throw std::runtime_error(opened.status().message());
    return std::move(opened).value();
  }

  TempDir dir_;
  std::string path_;
  std::unique_ptr<pst::messaging::MessageStore> store_;
};

TEST_F(MessageRoundTrip, EveryPropertyTypeReadsBackAsWritten) {
  Message m;
  m.props.SetInt16(0x6601, -7)
      .SetInt32(0x6602, -123456)
      .SetBool(0x6603, true)
      .SetInt64(0x6604, -(std::int64_t{1} << 40))
      .SetDouble(0x6606, 2.5)
      .SetTime(tags::kClientSubmitTime, FileTimeFromUnix(1700000000))
      .SetString(tags::kSubject, "\x01\x04RE: prefixed – ünïcødé")
      .SetMultiString(0x6607, {"one", "two", "три"})
      .SetBinary(0x6608, Bytes{std::byte{1}, std::byte{2}, std::byte{3}})
      .SetGuid(0x6609, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16})
      .SetString(0x660A, "");
  auto msg = WriteAndOpen(m);
  const auto& pc = msg.properties();
  EXPECT_EQ(*pc.Get(0x6601)->AsInt16(), -7);
  EXPECT_EQ(*pc.Get(0x6602)->AsInt32(), -123456);
  EXPECT_TRUE(*pc.Get(0x6603)->AsBool());
  EXPECT_EQ(*pc.Get(0x6604)->AsInt64(), -(std::int64_t{1} << 40));
  EXPECT_EQ(*pc.Get(0x6606)->AsDouble(), 2.5);
  EXPECT_EQ(std::uint64_t(*pc.Get(tags::kClientSubmitTime)->AsInt64()),
            FileTimeFromUnix(1700000000));
  EXPECT_EQ(Utf8(pc.Get(tags::kSubject)), "\x01\x04RE: prefixed – ünïcødé");
  auto mv = pc.Get(0x6607);
  ASSERT_TRUE(mv.ok());
  ASSERT_EQ(*mv->MultiValueCount(), 3u);
  EXPECT_EQ(*mv->MultiValueAt(2)->AsUtf8(), "три");
  EXPECT_EQ(pc.Get(0x6608)->bytes(), (Bytes{std::byte{1}, std::byte{2}, std::byte{3}}));
  EXPECT_EQ((*pc.Get(0x6609)->AsGuid())[15], std::byte{16});
  EXPECT_EQ(Utf8(pc.Get(0x660A)), "");
  EXPECT_EQ(pc.Get(tags::kBody).status().code(), pst::ErrorCode::kNotFound);
}

TEST_F(MessageRoundTrip, LargeBodiesAndHeapsOverManyBlocksReadBack) {
  Message m;
  std::string body(200000, 'b');
  for (std::size_t i = 0; i < body.size(); i += 97) body[i] = char('a' + i % 26);
  m.props.SetString(tags::kBody, body);
  SetHtmlBody(m, "<p>" + std::string(5000, 'h') + "</p>");
  // 300 values of 1,000 bytes each fill a heap of about forty blocks.
  for (std::uint16_t id = 0x6700; id < 0x6700 + 300; ++id) {
    m.props.SetBinary(id, Bytes(1000, std::byte(id & 0xFF)));
  }
  auto msg = WriteAndOpen(m);
  EXPECT_EQ(Utf8(msg.properties().Get(tags::kBody)), body);
  EXPECT_EQ(msg.properties().Get(tags::kHtml)->bytes().size(), 5007u);
  EXPECT_GT(msg.properties().node().block_count(), 30u);
  for (std::uint16_t id = 0x6700; id < 0x6700 + 300; ++id) {
    auto v = msg.properties().Get(id);
    ASSERT_TRUE(v.ok()) << id;
    ASSERT_EQ(v->bytes(), Bytes(1000, std::byte(id & 0xFF))) << id;
  }
}

TEST_F(MessageRoundTrip, RecipientsKeepTypesNamesAndAddressesOrTheirAbsence) {
  Message m = MakeMail("recipients", "S", "s@example.com", 0);
  m.recipients.push_back(MakeRecipient(tags::kRecipientTo, "To Person", "to@example.com"));
  m.recipients.push_back(MakeRecipient(tags::kRecipientCc, std::nullopt, "cc@example.com"));
  m.recipients.push_back(MakeRecipient(tags::kRecipientBcc, "Bcc Only Name", std::nullopt));
  auto msg = WriteAndOpen(m);
  auto table = msg.OpenRecipientTable();
  ASSERT_TRUE(table.ok() && table->has_value());
  const auto& t = **table;
  ASSERT_EQ(t.row_count(), 3u);
  std::vector<std::int32_t> types;
  for (std::size_t i = 0; i < 3; ++i)
    types.push_back(*t.CellById(*t.ReadRow(i), tags::kRecipientType)->AsInt32());
  EXPECT_EQ(types, (std::vector<std::int32_t>{1, 2, 3}));
  EXPECT_EQ(Utf8(t.CellById(*t.ReadRow(0), tags::kDisplayName)), "To Person");
  EXPECT_EQ(Utf8(t.CellById(*t.ReadRow(0), tags::kEmailAddress)), "to@example.com");
  EXPECT_FALSE(t.CellById(*t.ReadRow(1), tags::kDisplayName).ok());
  EXPECT_EQ(Utf8(t.CellById(*t.ReadRow(1), tags::kSmtpAddress)), "cc@example.com");
  EXPECT_FALSE(t.CellById(*t.ReadRow(2), tags::kEmailAddress).ok());
}

TEST_F(MessageRoundTrip, AttachmentsFromEmptyToTwentyMegabytesKeepTheirBytes) {
  Message m;
  const std::uint64_t sizes[] = {0, 1, 3580, 3581, 8176, 8177, 20u << 20};
  for (std::size_t i = 0; i < std::size(sizes); ++i) {
    m.attachments.push_back(
        MakeFileAttachment("f" + std::to_string(i), std::make_shared<PatternSource>(i, sizes[i])));
  }
  auto msg = WriteAndOpen(m);
  auto ids = msg.AttachmentIds();
  ASSERT_TRUE(ids.ok());
  ASSERT_EQ(ids->size(), std::size(sizes));
  for (std::size_t i = 0; i < ids->size(); ++i) {
    auto att = msg.OpenAttachment((*ids)[i]);
    ASSERT_TRUE(att.ok());
    EXPECT_EQ(att->method(), tags::kAttachByValue);
    EXPECT_EQ(Utf8(att->properties().Get(tags::kAttachLongFilename)), "f" + std::to_string(i));
    auto data = att->OpenData();
    ASSERT_TRUE(data.ok()) << i << ": " << data.status().message();
    EXPECT_EQ(ReadStream(*data), ReadAll(PatternSource(i, sizes[i]))) << "attachment " << i;
  }
}

TEST_F(MessageRoundTrip, ReferenceAttachmentKeepsItsPathAndCarriesNoData) {
  Message m;
  m.attachments.push_back(MakeReferenceAttachment("r.pdf", "\\\\srv\\share\\r.pdf"));
  auto msg = WriteAndOpen(m);
  auto att = msg.OpenAttachment(msg.AttachmentIds()->front());
  ASSERT_TRUE(att.ok());
  EXPECT_EQ(att->method(), tags::kAttachByReference);
  EXPECT_EQ(Utf8(att->properties().Get(tags::kAttachLongPathname)), "\\\\srv\\share\\r.pdf");
  EXPECT_FALSE(att->properties().Get(tags::kAttachDataBin).ok());
}

TEST_F(MessageRoundTrip, EmbeddedMessagesNestSixDeep) {
  Message inner = MakeMail("level 6", "S", "s@x", 0);
  inner.attachments.push_back(
      MakeFileAttachment("deep.bin", std::make_shared<PatternSource>(6, 9000)));
  for (int level = 5; level >= 1; --level) {
    Message outer = MakeMail("level " + std::to_string(level), "S", "s@x", 0);
    outer.attachments.push_back(MakeEmbeddedAttachment("inner", std::move(inner)));
    inner = std::move(outer);
  }
  Message top = MakeMail("top", "S", "s@x", 0);
  top.attachments.push_back(MakeEmbeddedAttachment("inner", std::move(inner)));
  auto current = WriteAndOpen(top);
  for (int level = 1; level <= 6; ++level) {
    auto att = current.OpenAttachment(current.AttachmentIds()->front());
    ASSERT_TRUE(att.ok()) << level;
    EXPECT_EQ(att->method(), tags::kAttachEmbeddedMessage);
    auto embedded = att->OpenEmbeddedMessage();
    ASSERT_TRUE(embedded.ok()) << level << ": " << embedded.status().message();
    EXPECT_EQ(embedded->depth(), level);
    EXPECT_EQ(Utf8(embedded->properties().Get(tags::kSubject)), "level " + std::to_string(level));
    current = std::move(embedded).value();
  }
  auto deep = current.OpenAttachment(current.AttachmentIds()->front());
  EXPECT_EQ(ReadStream(*deep->OpenData()), ReadAll(PatternSource(6, 9000)));
}

TEST_F(MessageRoundTrip, FourHundredAttachmentsNeedASubnodeIndexLevel) {
  Message m;
  for (int i = 0; i < 400; ++i) {
    m.attachments.push_back(
        MakeFileAttachment("a" + std::to_string(i), std::make_shared<PatternSource>(i, 10)));
  }
  auto msg = WriteAndOpen(m);
  auto ids = msg.AttachmentIds();
  ASSERT_TRUE(ids.ok());
  ASSERT_EQ(ids->size(), 400u);
  auto last = msg.OpenAttachment(ids->back());
  ASSERT_TRUE(last.ok());
  EXPECT_EQ(Utf8(last->properties().Get(tags::kAttachLongFilename)), "a399");
  EXPECT_EQ(ReadStream(*last->OpenData()), ReadAll(PatternSource(399, 10)));
}

TEST_F(MessageRoundTrip, CompressedAndUncompressedRtfKeepTheirStreams) {
  Message m;
  std::string rtf = EncapsulateHtml("<p>héllo</p>");
  SetRtfBody(m, rtf, true);
  m.props.SetBinary(0x6610, CompressedRtfStream(rtf, false));
  auto msg = WriteAndOpen(m);
  EXPECT_EQ(msg.properties().Get(tags::kRtfCompressed)->bytes(), CompressedRtfStream(rtf, true));
  EXPECT_EQ(msg.properties().Get(0x6610)->bytes(), CompressedRtfStream(rtf, false));
  EXPECT_TRUE(*msg.properties().Get(tags::kRtfInSync)->AsBool());
}

TEST_F(MessageRoundTrip, AnsiFileKeepsTextInTheMessageCodePage) {
  Message m;
  m.props.SetInt32(tags::kMessageCodepage, 1251);
  m.props.SetString(tags::kSubject, "Привет, мир");
  m.recipients.push_back(MakeRecipient(tags::kRecipientTo, "Иван", "ivan@example.com"));
  auto msg = WriteAndOpen(m, {.format = FileFormat::kAnsi});
  EXPECT_EQ(msg.properties().Get(tags::kSubject)->type(), kPtString8);
  EXPECT_EQ(msg.properties().Get(tags::kSubject)->bytes().size(), 11u);  // one byte a character
  EXPECT_EQ(Utf8(msg.properties().Get(tags::kSubject)), "Привет, мир");
  auto table = msg.OpenRecipientTable();
  ASSERT_TRUE(table.ok() && table->has_value());
  EXPECT_EQ(Utf8((*table)->CellById(*(*table)->ReadRow(0), tags::kDisplayName)), "Иван");
}

TEST_F(MessageRoundTrip, FourKibibytePageFileKeepsCompressedBlocksReadable) {
  Message m;
  std::string body;
  for (int i = 0; body.size() < 300000; ++i) body += "line " + std::to_string(i) + " of a body\r\n";
  m.props.SetString(tags::kBody, body);
  m.attachments.push_back(
      MakeFileAttachment("noise", std::make_shared<PatternSource>(9, 3u << 20)));
  m.recipients.push_back(MakeRecipient(tags::kRecipientTo, "To", "to@example.com"));
  auto msg =
      WriteAndOpen(m, {.format = FileFormat::kUnicode4k, .crypt = pst::ndb::CryptMethod::kNone});
  EXPECT_EQ(Utf8(msg.properties().Get(tags::kBody)), body);
  auto att = msg.OpenAttachment(msg.AttachmentIds()->front());
  ASSERT_TRUE(att.ok());
  EXPECT_EQ(ReadStream(*att->OpenData()), ReadAll(PatternSource(9, 3u << 20)));
}

TEST_F(MessageRoundTrip, FourKibibytePageFileCompressesRepetitiveData) {
  Message m;
  std::string body;
  for (int i = 0; body.size() < 300000; ++i) body += "line " + std::to_string(i) + " of a body\r\n";
  m.props.SetString(tags::kBody, body);
  auto msg =
      WriteAndOpen(m, {.format = FileFormat::kUnicode4k, .crypt = pst::ndb::CryptMethod::kNone});
  EXPECT_EQ(Utf8(msg.properties().Get(tags::kBody)), body);
  // The body takes 600,000 bytes as UTF-16; compressed blocks keep the whole file far smaller.
  EXPECT_LT(std::filesystem::file_size(path_), 400000u);
}

TEST_F(MessageRoundTrip, ContentsTableRowsCopyTheMessageColumns) {
  path_ = dir_ / "contents.pst";
  FolderId folder;
  std::vector<MessageId> ids;
  {
    PstBuilder b(path_);
    folder = b.AddFolder(b.ipm_subtree(), "Many");
    for (int i = 0; i < 300; ++i) {
      ids.push_back(b.AddMessage(folder, MakeMail("subject " + std::to_string(i), "S", "s@x", i)));
    }
    b.Finish();
  }
  auto store = OpenStore(path_);
  ASSERT_TRUE(store);
  auto contents = store->OpenFolder(folder)->OpenContentsTable();
  ASSERT_TRUE(contents.ok());
  ASSERT_EQ(contents->row_count(), 300u);
  for (std::size_t i : {0u, 150u, 299u}) {
    auto row = contents->ReadRow(i);
    ASSERT_TRUE(row.ok());
    EXPECT_EQ(row->row_id(), ids[i]);
    EXPECT_EQ(Utf8(contents->CellById(*row, tags::kSubject)), "subject " + std::to_string(i));
  }
  EXPECT_EQ(*contents->FindRow(ids[123]), 123u);
}

}  // namespace

namespace {

TEST(HasAttachmentsFlag, IsSetInTheMessageAndItsContentsRowOnlyWhenAttachmentsExist) {
  test_support::TempDir dir;
  const std::string path = dir / "flags.pst";
  FolderId folder;
  MessageId with, without, unflagged;
  {
    PstBuilder b(path);
    folder = b.AddFolder(b.ipm_subtree(), "Inbox");
    Message m = MakeMail("with", "S", "s@x", 1);
    m.attachments.push_back(MakeFileAttachment("a.bin", std::make_shared<PatternSource>(1, 10)));
    with = b.AddMessage(folder, m);
    without = b.AddMessage(folder, MakeMail("without", "S", "s@x", 2));
    Message bare = MakeMail("no flags", "S", "s@x", 3);
    bare.props.Remove(tags::kMessageFlags);
    bare.attachments.push_back(MakeFileAttachment("b.bin", std::make_shared<PatternSource>(2, 10)));
    unflagged = b.AddMessage(folder, bare);
    b.Finish();
  }
  auto store = writer_test::OpenStore(path);
  ASSERT_TRUE(store);
  auto flags = [&](MessageId id) {
    return *store->OpenMessage(id)->properties().Get(tags::kMessageFlags)->AsInt32();
  };
  EXPECT_EQ(flags(with) & tags::kMsgFlagHasAttach, tags::kMsgFlagHasAttach);
  EXPECT_EQ(flags(with) & tags::kMsgFlagRead, tags::kMsgFlagRead);  // other bits kept
  EXPECT_EQ(flags(without) & tags::kMsgFlagHasAttach, 0);
  EXPECT_FALSE(store->OpenMessage(unflagged)->properties().Get(tags::kMessageFlags).ok());

  auto contents = store->OpenFolder(folder)->OpenContentsTable();
  ASSERT_TRUE(contents.ok());
  auto position = contents->FindRow(with);
  ASSERT_TRUE(position.ok() && position->has_value());
  auto row = contents->ReadRow(**position);
  ASSERT_TRUE(row.ok());
  EXPECT_EQ(*contents->CellById(*row, tags::kMessageFlags)->AsInt32() & tags::kMsgFlagHasAttach,
            tags::kMsgFlagHasAttach);
}

}  // namespace
