// Messages through the library: GetProps semantics, subjects without the prefix marker, tables
// with computed columns and values read from the rows' objects, streams, embedded messages, RTF.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <span>

#include "tests/platform_mapilib/library_fixture.h"
#include "tests/platform_mapilib/writer_files.h"
#include "tools/pstwriter/byte_source.h"

namespace platform_mapilib_test {
namespace {

class MessageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    opened_ = OpenStore(WriteMailFile("messages.pst"));
    ASSERT_TRUE(opened_.store);
    inbox_ = OpenInboxFolder(*opened_.store);
    ASSERT_TRUE(inbox_);
    ASSERT_EQ(inbox_->GetContentsTable(0, contents_.Out()), S_OK);
  }

  // The inbox's message in row `row`.
  mapi::InterfacePtr<IMessage> MessageAt(ULONG row) {
    mapi::RowSetPtr rows = AllRows(*contents_, {PR_ENTRYID});
    const SBinary& id = RowsOf(*rows)[row].lpProps[0].Value.bin;
    const auto* b = reinterpret_cast<const std::byte*>(id.lpb);
    return OpenEntry<IMessage>(*opened_.store, {b, b + id.cb}, &IID_IMessage);
  }

  OpenedStore opened_;
  mapi::InterfacePtr<IMAPIFolder> inbox_;
  mapi::InterfacePtr<IMAPITable> contents_;
};

TEST_F(MessageTest, GetPropsGivesOneValuePerTagInOrderWithErrorsForAbsentOnes) {
  auto message = MessageAt(0);
  LPSPropTagArray tags = nullptr;
  ASSERT_EQ(mapi::MakePropTagArray({PR_SUBJECT, 0x6FF0001E, PR_MESSAGE_CLASS}, &tags), S_OK);
  mapi::MapiBufferPtr<SPropTagArray> owned_tags(tags);
  ULONG count = 0;
  LPSPropValue values = nullptr;
  EXPECT_EQ(message->GetProps(tags, 0, &count, &values), MAPI_W_ERRORS_RETURNED);
  mapi::MapiBufferPtr<SPropValue> owned(values);
  ASSERT_EQ(count, 3u);
  EXPECT_EQ(values[0].ulPropTag, PR_SUBJECT);
  EXPECT_STREQ(values[0].Value.lpszA, kFirstSubject);
  EXPECT_EQ(values[1].ulPropTag, 0x6FF0000Au);
  EXPECT_EQ(values[1].Value.err, MAPI_E_NOT_FOUND);
  EXPECT_STREQ(values[2].Value.lpszA, "IPM.Note");
}

TEST_F(MessageTest, SubjectLosesItsPrefixMarkerInPropsAndInTheTable) {
  EXPECT_EQ(GetOne(*MessageAt(1), PR_SUBJECT).text, kSecondSubject);
  mapi::RowSetPtr rows = AllRows(*contents_, {PR_SUBJECT});
  ASSERT_EQ(rows->cRows, 2u);
  EXPECT_STREQ(RowsOf(*rows)[1].lpProps[0].Value.lpszA, kSecondSubject);
}

TEST_F(MessageTest, UnicodeRequestOfAStringGivesUtf16) {
  LPSPropValue value = nullptr;
  ASSERT_EQ(mapi::HrGetOneProp(MessageAt(0).get(), PR_SUBJECT_W, &value), S_OK);
  mapi::MapiBufferPtr<SPropValue> owned(value);
  EXPECT_EQ(std::u16string(value->Value.lpszW), u"First message");
  EXPECT_EQ(mapi::HrGetOneProp(MessageAt(0).get(), 0x6FF0001E, &value), MAPI_E_NOT_FOUND);
}

TEST_F(MessageTest, ContentsTableComputesEntryIdsInstanceKeysAndHasAttach) {
  mapi::RowSetPtr rows =
      AllRows(*contents_, {PR_HASATTACH, PR_ENTRYID, PR_INSTANCE_KEY, PR_MESSAGE_DELIVERY_TIME});
  ASSERT_EQ(rows->cRows, 2u);
  EXPECT_EQ(RowsOf(*rows)[0].lpProps[0].Value.b, 0);
  EXPECT_EQ(RowsOf(*rows)[1].lpProps[0].ulPropTag, PR_HASATTACH);
  EXPECT_NE(RowsOf(*rows)[1].lpProps[0].Value.b, 0);
  const SBinary& id = RowsOf(*rows)[1].lpProps[1].Value.bin;
  const SBinary& key = RowsOf(*rows)[1].lpProps[2].Value.bin;
  ASSERT_EQ(id.cb, 24u);
  ASSERT_EQ(key.cb, 4u);
  EXPECT_EQ(std::memcmp(id.lpb + 20, key.lpb, 4), 0);  // both name the row's node
  EXPECT_EQ(RowsOf(*rows)[1].lpProps[3].ulPropTag, PR_MESSAGE_DELIVERY_TIME);
}

TEST_F(MessageTest, QueryRowsReadsInBatchesFromTheCursor) {
  ULONG count = 0;
  ASSERT_EQ(contents_->GetRowCount(0, &count), S_OK);
  EXPECT_EQ(count, 2u);
  LPSPropTagArray tags = nullptr;
  ASSERT_EQ(mapi::MakePropTagArray({PR_SUBJECT}, &tags), S_OK);
  mapi::MapiBufferPtr<SPropTagArray> owned(tags);
  ASSERT_EQ(contents_->SetColumns(tags, 0), S_OK);
  std::vector<std::string> seen;
  for (;;) {
    LPSRowSet raw = nullptr;
    ASSERT_EQ(contents_->QueryRows(1, 0, &raw), S_OK);
    mapi::RowSetPtr rows(raw);
    if (rows->cRows == 0) break;
    seen.push_back(RowsOf(*rows)[0].lpProps[0].Value.lpszA);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{kFirstSubject, kSecondSubject}));
  LONG moved = 0;
  EXPECT_EQ(contents_->SeekRow(BOOKMARK_BEGINNING, 1, &moved), S_OK);
  EXPECT_EQ(moved, 1);
  LPSRowSet raw = nullptr;
  ASSERT_EQ(contents_->QueryRows(5, TBL_NOADVANCE, &raw), S_OK);
  mapi::RowSetPtr rest(raw);
  ASSERT_EQ(rest->cRows, 1u);
  EXPECT_STREQ(rest->aRow[0].lpProps[0].Value.lpszA, kSecondSubject);
  ULONG row = 9, numerator = 9, denominator = 0;
  ASSERT_EQ(contents_->QueryPosition(&row, &numerator, &denominator), S_OK);
  EXPECT_EQ(row, 1u) << "TBL_NOADVANCE moved the cursor";
  EXPECT_EQ(denominator, 2u);
  EXPECT_EQ(contents_->QueryRows(-1, 0, &raw), MAPI_E_INVALID_PARAMETER);
  EXPECT_EQ(raw, nullptr);
}

TEST_F(MessageTest, CursorSeeksStopAtTheTablesEndsAndSayHowFarTheyMoved) {
  const struct {
    BOOKMARK origin;
    LONG rows;
    LONG moved;
    ULONG position;
  } seeks[] = {
      {BOOKMARK_END, -5, -2, 0},      {BOOKMARK_CURRENT, 7, 2, 2}, {BOOKMARK_CURRENT, -1, -1, 1},
      {BOOKMARK_BEGINNING, -3, 0, 0}, {BOOKMARK_END, 0, 0, 2},
  };
  for (const auto& s : seeks) {
    LONG moved = 99;
    ASSERT_EQ(contents_->SeekRow(s.origin, s.rows, &moved), S_OK);
    EXPECT_EQ(moved, s.moved) << s.origin << " " << s.rows;
    ULONG row = 99;
    ASSERT_EQ(contents_->QueryPosition(&row, nullptr, nullptr), S_OK);
    EXPECT_EQ(row, s.position) << s.origin << " " << s.rows;
  }
  EXPECT_EQ(contents_->SeekRow(BOOKMARK{77}, 0, nullptr), MAPI_E_INVALID_BOOKMARK);
  // An approximate seek is a fraction of the rows; a zero denominator is refused, cursor kept.
  ASSERT_EQ(contents_->SeekRowApprox(1, 2), S_OK);
  EXPECT_EQ(contents_->SeekRowApprox(1, 0), MAPI_E_INVALID_PARAMETER);
  ULONG row = 99;
  ASSERT_EQ(contents_->QueryPosition(&row, nullptr, nullptr), S_OK);
  EXPECT_EQ(row, 1u);
  ASSERT_EQ(contents_->SeekRowApprox(3, 1), S_OK);  // past the end: at the end
  ASSERT_EQ(contents_->QueryPosition(&row, nullptr, nullptr), S_OK);
  EXPECT_EQ(row, 2u);
  LPSRowSet raw = nullptr;
  ASSERT_EQ(contents_->QueryRows(1, 0, &raw), S_OK);
  mapi::RowSetPtr none(raw);
  EXPECT_EQ(none->cRows, 0u);
}

TEST_F(MessageTest, TableIsAViewInStoredOrderWithTheColumnsSet) {
  // No restriction or sort order is accepted; a real one is refused and the rows stay as stored.
  EXPECT_EQ(contents_->Restrict(nullptr, 0), S_OK);
  SSortOrderSet sort{};
  EXPECT_EQ(contents_->SortTable(&sort, 0), S_OK);
  sort.cSorts = 1;
  sort.aSort[0] = {PR_SUBJECT, 1};  // TABLE_SORT_DESCEND
  EXPECT_EQ(contents_->SortTable(&sort, 0), MAPI_E_TOO_COMPLEX);
  LPSPropTagArray tags = nullptr;
  ASSERT_EQ(mapi::MakePropTagArray({PR_SUBJECT, PR_ENTRYID}, &tags), S_OK);
  mapi::MapiBufferPtr<SPropTagArray> owned(tags);
  ASSERT_EQ(contents_->SetColumns(tags, 0), S_OK);
  EXPECT_EQ(contents_->SetColumns(nullptr, 0), MAPI_E_INVALID_PARAMETER);
  EXPECT_EQ(contents_->QueryColumns(0, nullptr), MAPI_E_INVALID_PARAMETER);
  EXPECT_EQ(contents_->GetRowCount(0, nullptr), MAPI_E_INVALID_PARAMETER);
  EXPECT_EQ(contents_->QueryRows(1, 0, nullptr), MAPI_E_INVALID_PARAMETER);
  LPSPropTagArray columns = nullptr;
  ASSERT_EQ(contents_->QueryColumns(0, &columns), S_OK);
  mapi::MapiBufferPtr<SPropTagArray> owned_columns(columns);
  ASSERT_EQ(columns->cValues, 2u);
  EXPECT_EQ(columns->aulPropTag[0], PR_SUBJECT);
  EXPECT_EQ(std::span(columns->aulPropTag, 2)[1], PR_ENTRYID);
  LPSRowSet raw = nullptr;
  ASSERT_EQ(contents_->QueryRows(10, 0, &raw), S_OK);
  mapi::RowSetPtr rows(raw);
  ASSERT_EQ(rows->cRows, 2u);
  EXPECT_STREQ(RowsOf(*rows)[0].lpProps[0].Value.lpszA, kFirstSubject);
  EXPECT_STREQ(RowsOf(*rows)[1].lpProps[0].Value.lpszA, kSecondSubject);
  EXPECT_EQ(RowsOf(*rows)[1].cValues, 2u);
}

TEST_F(MessageTest, AttachmentTableNumbersRowsAndReadsMissingColumnsFromTheAttachment) {
  auto message = MessageAt(1);
  mapi::InterfacePtr<IMAPITable> table;
  ASSERT_EQ(message->GetAttachmentTable(0, table.Out()), S_OK);
  mapi::RowSetPtr rows =
      AllRows(*table, {PR_ATTACH_NUM, PR_ATTACH_LONG_FILENAME, PR_ATTACH_MIME_TAG, PR_ATTACH_METHOD,
                       PR_ATTACH_CONTENT_ID_W});
  ASSERT_EQ(rows->cRows, 2u);
  EXPECT_EQ(RowsOf(*rows)[0].lpProps[0].Value.ul, 0u);
  EXPECT_EQ(RowsOf(*rows)[1].lpProps[0].Value.ul, 1u);
  EXPECT_STREQ(RowsOf(*rows)[0].lpProps[1].Value.lpszA, kAttachmentName);
  EXPECT_STREQ(RowsOf(*rows)[0].lpProps[2].Value.lpszA, "image/png");
  EXPECT_EQ(RowsOf(*rows)[0].lpProps[3].Value.ul, ULONG{ATTACH_BY_VALUE});
  EXPECT_EQ(RowsOf(*rows)[1].lpProps[3].Value.ul, ULONG{ATTACH_EMBEDDED_MSG});
  EXPECT_EQ(PROP_TYPE(RowsOf(*rows)[0].lpProps[4].ulPropTag), PT_ERROR);
  EXPECT_EQ(RowsOf(*rows)[0].lpProps[4].Value.err, MAPI_E_NOT_FOUND);
}

TEST_F(MessageTest, AttachmentDataStreamsWhole) {
  auto message = MessageAt(1);
  mapi::InterfacePtr<IAttach> attach;
  ASSERT_EQ(message->OpenAttach(0, &IID_IAttachment, MAPI_BEST_ACCESS, attach.Out()), S_OK);
  LPUNKNOWN unknown = nullptr;
  ASSERT_EQ(
      attach->OpenProperty(PR_ATTACH_DATA_BIN, &IID_IStream, 0, MAPI_DEFERRED_ERRORS, &unknown),
      S_OK);
  mapi::InterfacePtr<IStream> stream(static_cast<IStream*>(unknown));
  STATSTG stat{};
  ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.cbSize.QuadPart, kAttachmentSize);
  const auto data = ReadAll(*stream);
  ASSERT_TRUE(data);
  const pstwriter::Bytes expected =
      pstwriter::ReadAll(pstwriter::PatternSource(7, kAttachmentSize));
  ASSERT_EQ(data->size(), expected.size());
  EXPECT_EQ(std::memcmp(data->data(), expected.data(), expected.size()), 0);
  // Seeks are relative to the start, the position or the end; a clone reads on from its own.
  const auto tail = [&](std::size_t from) { return expected.data() + kAttachmentSize - from; };
  LARGE_INTEGER move{};
  move.QuadPart = -10;
  ULARGE_INTEGER at{};
  ASSERT_EQ(stream->Seek(move, STREAM_SEEK_END, &at), S_OK);
  EXPECT_EQ(at.QuadPart, kAttachmentSize - 10);
  mapi::InterfacePtr<IStream> clone;
  ASSERT_EQ(stream->Clone(clone.Out()), S_OK);
  std::byte piece[64];
  ULONG got = 0;
  ASSERT_EQ(stream->Read(piece, sizeof piece, &got), S_OK);
  ASSERT_EQ(got, 10u);
  EXPECT_EQ(std::memcmp(piece, tail(10), 10), 0);
  ASSERT_EQ(clone->Read(piece, 4, &got), S_OK);
  ASSERT_EQ(got, 4u);
  EXPECT_EQ(std::memcmp(piece, tail(10), 4), 0);
  // Past the end a read gives nothing and succeeds; before the start or from no origin, a seek
  // is refused and the position kept.
  move.QuadPart = 100;
  ASSERT_EQ(stream->Seek(move, STREAM_SEEK_CUR, &at), S_OK);
  EXPECT_EQ(at.QuadPart, kAttachmentSize + 100);
  got = 99;
  EXPECT_EQ(stream->Read(piece, sizeof piece, &got), S_OK);
  EXPECT_EQ(got, 0u);
  move.QuadPart = -1;
  EXPECT_EQ(stream->Seek(move, STREAM_SEEK_SET, &at), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(stream->Seek(move, 7, &at), STG_E_INVALIDFUNCTION);
  move.QuadPart = 0;
  ASSERT_EQ(clone->Seek(move, STREAM_SEEK_CUR, &at), S_OK);
  EXPECT_EQ(at.QuadPart, kAttachmentSize - 6);
  EXPECT_EQ(stream->Write(piece, 1, &got), STG_E_ACCESSDENIED);
  EXPECT_EQ(stream->Read(nullptr, 4, &got), STG_E_INVALIDPOINTER);
  EXPECT_EQ(stream->Stat(nullptr, 0), STG_E_INVALIDPOINTER);
  EXPECT_EQ(stream->Clone(nullptr), STG_E_INVALIDPOINTER);
  ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.cbSize.QuadPart, kAttachmentSize);
  mapi::InterfacePtr<IAttach> none;
  EXPECT_EQ(message->OpenAttach(2, nullptr, 0, none.Out()), MAPI_E_NOT_FOUND);
}

TEST_F(MessageTest, EmbeddedMessageOpensAsAMessage) {
  auto message = MessageAt(1);
  mapi::InterfacePtr<IAttach> attach;
  ASSERT_EQ(message->OpenAttach(1, nullptr, 0, attach.Out()), S_OK);
  LPUNKNOWN unknown = nullptr;
  ASSERT_EQ(attach->OpenProperty(PR_ATTACH_DATA_OBJ, &IID_IMessage, 0, 0, &unknown), S_OK);
  mapi::InterfacePtr<IMessage> inner(static_cast<IMessage*>(unknown));
  EXPECT_EQ(GetOne(*inner, PR_SUBJECT).text, kEmbeddedSubject);
  mapi::InterfacePtr<IMAPITable> attachments;
  ASSERT_EQ(inner->GetAttachmentTable(0, attachments.Out()), S_OK);
  ULONG count = 9;
  EXPECT_EQ(attachments->GetRowCount(0, &count), S_OK);
  EXPECT_EQ(count, 0u);
}

TEST_F(MessageTest, BodyOpensAsATextStream) {
  LPUNKNOWN unknown = nullptr;
  ASSERT_EQ(MessageAt(0)->OpenProperty(PR_BODY, &IID_IStream, 0, 0, &unknown), S_OK);
  mapi::InterfacePtr<IStream> stream(static_cast<IStream*>(unknown));
  EXPECT_EQ(ReadAll(*stream), std::string(kFirstBody));
  // The second message stores RTF only: its text is derived from the RTF.
  ASSERT_EQ(MessageAt(1)->OpenProperty(PR_BODY, &IID_IStream, 0, 0, &unknown), S_OK);
  mapi::InterfacePtr<IStream> derived(static_cast<IStream*>(unknown));
  EXPECT_EQ(ReadAll(*derived), std::string("Hello RTF"));
  EXPECT_EQ(GetOne(*MessageAt(1), PR_BODY).text, "Hello RTF");
}

TEST_F(MessageTest, CompressedRtfDecompressesThroughTheWrapper) {
  LPUNKNOWN unknown = nullptr;
  ASSERT_EQ(MessageAt(1)->OpenProperty(PR_RTF_COMPRESSED, &IID_IStream, 0, 0, &unknown), S_OK);
  mapi::InterfacePtr<IStream> compressed(static_cast<IStream*>(unknown));
  mapi::InterfacePtr<IStream> rtf;
  ASSERT_EQ(mapi::WrapCompressedRTFStream(compressed.get(), 0, rtf.Out()), S_OK);
  const auto text = ReadAll(*rtf);
  ASSERT_TRUE(text);
  EXPECT_EQ(text->substr(0, std::strlen(kRtfText)), kRtfText);
}

TEST_F(MessageTest, RecipientTableKeepsItsStoredColumns) {
  mapi::InterfacePtr<IMAPITable> table;
  ASSERT_EQ(MessageAt(0)->GetRecipientTable(0, table.Out()), S_OK);
  mapi::RowSetPtr rows = AllRows(*table, {PR_RECIPIENT_TYPE, PR_DISPLAY_NAME, PR_EMAIL_ADDRESS});
  ASSERT_EQ(rows->cRows, 1u);
  EXPECT_EQ(RowsOf(*rows)[0].lpProps[0].Value.ul, ULONG{MAPI_TO});
  EXPECT_STREQ(RowsOf(*rows)[0].lpProps[1].Value.lpszA, "Bob");
  EXPECT_STREQ(RowsOf(*rows)[0].lpProps[2].Value.lpszA, "bob@example.org");
}

TEST_F(MessageTest, ObjectsAnswerOnlyTheirInterfacesAndCountReferences) {
  auto message = MessageAt(0);
  void* as_prop = nullptr;
  ASSERT_EQ(message->QueryInterface(IID_IMAPIProp, &as_prop), S_OK);
  EXPECT_EQ(as_prop, static_cast<void*>(message.get()));
  void* as_folder = reinterpret_cast<void*>(1);
  EXPECT_EQ(message->QueryInterface(IID_IMAPIFolder, &as_folder), E_NOINTERFACE);
  EXPECT_EQ(as_folder, nullptr);
  EXPECT_EQ(message->AddRef(), 3u);  // ours, the QueryInterface result, this one
  EXPECT_EQ(message->Release(), 2u);
  EXPECT_EQ(static_cast<IMessage*>(as_prop)->Release(), 1u);
}

TEST_F(MessageTest, PropListNamesTheStoredPropertiesAndTheComputedEntryId) {
  LPSPropTagArray raw = nullptr;
  ASSERT_EQ(MessageAt(0)->GetPropList(0, &raw), S_OK);
  mapi::MapiBufferPtr<SPropTagArray> tags(raw);
  std::vector<ULONG> list(raw->aulPropTag, raw->aulPropTag + raw->cValues);
  auto has_id = [&](ULONG tag) {
    return std::any_of(list.begin(), list.end(),
                       [&](ULONG t) { return PROP_ID(t) == PROP_ID(tag); });
  };
  EXPECT_TRUE(has_id(PR_SUBJECT));
  EXPECT_TRUE(has_id(PR_BODY));
  EXPECT_TRUE(has_id(PR_ENTRYID));
  EXPECT_FALSE(has_id(PR_RTF_COMPRESSED));
}

}  // namespace
}  // namespace platform_mapilib_test
