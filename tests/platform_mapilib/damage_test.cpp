// Damage and text: a damaged message fails alone with MAPI_E_CORRUPT_DATA while its neighbours and
// its table row still read; 8-bit strings of ANSI files arrive as UTF-8 from the message's code
// page; both stored forms of compressed RTF decompress.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "tests/platform_mapilib/file_damage.h"
#include "tests/platform_mapilib/library_fixture.h"
#include "tests/support/scoped_environment.h"
#include "tools/pstwriter/mapi_tags.h"
#include "tools/pstwriter/message_helpers.h"
#include "tools/pstwriter/pst_builder.h"
#include "tools/pstwriter/rtf_body.h"

namespace platform_mapilib_test {
namespace {

namespace tags = pstwriter::tags;

// The inbox's contents table and the store, for a file with one folder of messages.
struct InboxView {
  OpenedStore opened;
  mapi::InterfacePtr<IMAPITable> contents;
};

InboxView OpenInbox(const std::string& path) {
  InboxView view;
  view.opened = OpenStore(path);
  if (!view.opened.store) return view;
  auto inbox = OpenInboxFolder(*view.opened.store);
  if (inbox) {
    EXPECT_EQ(inbox->GetContentsTable(0, view.contents.Out()), S_OK);
  }
  return view;
}

// The message in row `row` of the inbox.
mapi::InterfacePtr<IMessage> MessageAt(InboxView& view, ULONG row) {
  mapi::RowSetPtr rows = AllRows(*view.contents, {PR_ENTRYID});
  const SBinary& id = RowsOf(*rows)[row].lpProps[0].Value.bin;
  const auto* b = reinterpret_cast<const std::byte*>(id.lpb);
  return OpenEntry<IMessage>(*view.opened.store, {b, b + id.cb}, &IID_IMessage);
}

template <typename... Messages>
std::vector<pstwriter::Message> List(Messages&&... messages) {
  std::vector<pstwriter::Message> list;
  (list.push_back(std::move(messages)), ...);
  return list;
}

std::string WriteInbox(const std::string& name, pstwriter::StoreOptions options,
                       const std::vector<pstwriter::Message>& messages) {
  const std::string path = TempPath(name);
  pstwriter::PstBuilder b(path, options);
  const auto inbox = b.AddFolder(b.ipm_subtree(), "Inbox");
  b.SetSpecialFolder(pstwriter::SpecialFolder::kInbox, inbox);
  for (const auto& m : messages) b.AddMessage(inbox, m);
  b.Finish();
  return path;
}

TEST(Damage, ADamagedMessageFailsAloneAndItsRowStillReads) {
  pstwriter::StoreOptions options;
  options.crypt = pst::ndb::CryptMethod::kNone;
  pstwriter::Message good = pstwriter::MakeMail("Healthy", "Ann", "ann@example.org", 1700000000);
  pstwriter::Message also_good =
      pstwriter::MakeMail("Healthy", "Ann", "ann@example.org", 1700000002);
  pstwriter::Message bad = pstwriter::MakeMail("Broken", "Ann", "ann@example.org", 1700000001);
  bad.props.SetString(tags::kBody, "UNIQUE-DAMAGE-MARKER");
  const std::string path = WriteInbox("damaged-message.pst", options, List(good, bad, also_good));
  DamageHeapHolding(path, u"UNIQUE-DAMAGE-MARKER");

  InboxView view = OpenInbox(path);
  ASSERT_TRUE(view.contents);
  mapi::RowSetPtr rows = AllRows(*view.contents, {PR_ENTRYID, PR_SUBJECT, PR_BODY});
  ASSERT_EQ(rows->cRows, 3u);
  EXPECT_STREQ(RowsOf(*rows)[1].lpProps[1].Value.lpszA, "Broken");  // from the folder's table
  EXPECT_EQ(RowsOf(*rows)[1].lpProps[2].ulPropTag, CHANGE_PROP_TYPE(PR_BODY, PT_ERROR));
  EXPECT_EQ(RowsOf(*rows)[1].lpProps[2].Value.err, MAPI_E_CORRUPT_DATA);
  for (ULONG i = 0; i < 3; ++i) {
    const SBinary& id = RowsOf(*rows)[i].lpProps[0].Value.bin;
    ULONG type = 0;
    LPUNKNOWN unknown = nullptr;
    const HRESULT hr = view.opened.store->OpenEntry(id.cb, reinterpret_cast<LPENTRYID>(id.lpb),
                                                    &IID_IMessage, 0, &type, &unknown);
    EXPECT_EQ(hr, i == 1 ? MAPI_E_CORRUPT_DATA : S_OK) << i;
    if (unknown) unknown->Release();
  }
}

TEST(Text, AnsiStringsArriveAsUtf8FromTheMessageCodePage) {
  pstwriter::StoreOptions options;
  options.format = pstwriter::FileFormat::kAnsi;
  pstwriter::Message cyrillic = pstwriter::MakeMail("Привет", "Ann", "ann@example.org", 1700000000);
  cyrillic.props.SetInt32(tags::kMessageCodepage, 1251);
  pstwriter::Message western =
      pstwriter::MakeMail("Crème brûlée", "Ann", "ann@example.org", 1700000001);
  InboxView view = OpenInbox(WriteInbox("ansi.pst", options, List(cyrillic, western)));
  ASSERT_TRUE(view.contents);
  std::vector<std::string> subjects;
  for (ULONG i = 0; i < 2; ++i) subjects.push_back(GetOne(*MessageAt(view, i), PR_SUBJECT).text);
  EXPECT_EQ(subjects, (std::vector<std::string>{"Привет", "Crème brûlée"}));
}

TEST(Text, LargeUnicodeBodyStreamsAsUtf8AcrossReadChunks) {
  std::string body;
  for (int i = 0; i < 40000; ++i) body += "€𝄞";  // three UTF-16 units: pairs straddle chunks
  pstwriter::Message m = pstwriter::MakeMail("Big", "Ann", "ann@example.org", 1700000000);
  m.props.SetString(tags::kBody, body);
  InboxView view = OpenInbox(WriteInbox("bigbody.pst", {}, List(m)));
  ASSERT_TRUE(view.contents);
  auto message = MessageAt(view, 0);
  LPUNKNOWN unknown = nullptr;
  ASSERT_EQ(message->OpenProperty(PR_BODY, &IID_IStream, 0, 0, &unknown), S_OK);
  mapi::InterfacePtr<IStream> utf8(static_cast<IStream*>(unknown));
  EXPECT_EQ(ReadAll(*utf8), body);
  ASSERT_EQ(message->OpenProperty(PR_BODY_W, &IID_IStream, 0, 0, &unknown), S_OK);
  mapi::InterfacePtr<IStream> utf16(static_cast<IStream*>(unknown));
  const auto units = ReadAll(*utf16);
  ASSERT_TRUE(units);
  EXPECT_EQ(units->size(), 40000u * 3 * 2);
}

class RtfForms : public ::testing::TestWithParam<bool> {};

TEST_P(RtfForms, BothStoredFormsDecompress) {
  const std::string rtf = pstwriter::EncapsulateText(std::string(5000, 'x') + " end");
  pstwriter::Message m = pstwriter::MakeMail("Rtf", "Ann", "ann@example.org", 1700000000);
  pstwriter::SetRtfBody(m, rtf, GetParam());
  InboxView view = OpenInbox(WriteInbox(GetParam() ? "lzfu.pst" : "mela.pst", {}, List(m)));
  ASSERT_TRUE(view.contents);
  auto message = MessageAt(view, 0);
  LPUNKNOWN unknown = nullptr;
  ASSERT_EQ(message->OpenProperty(PR_RTF_COMPRESSED, &IID_IStream, 0, 0, &unknown), S_OK);
  mapi::InterfacePtr<IStream> compressed(static_cast<IStream*>(unknown));
  mapi::InterfacePtr<IStream> text;
  ASSERT_EQ(mapi::WrapCompressedRTFStream(compressed.get(), 0, text.Out()), S_OK);
  EXPECT_EQ(ReadAll(*text), rtf);
}

// The wrapped stream over the PR_RTF_COMPRESSED of a message holding `stored` and no PR_BODY. With
// `body_first` the message is asked for PR_BODY through GetProps first, as the session asks, so
// that it decompresses the RTF to derive the text before the RTF is wrapped.
mapi::InterfacePtr<IStream> WrappedRtf(const std::string& file, const pstwriter::Bytes& stored,
                                       bool body_first) {
  pstwriter::Message m = pstwriter::MakeMail("Rtf", "Ann", "ann@example.org", 1700000000);
  m.props.SetBinary(tags::kRtfCompressed, stored);
  InboxView view = OpenInbox(WriteInbox(file, {}, List(m)));
  auto message = MessageAt(view, 0);
  if (body_first) GetOne(*message, PR_BODY);
  LPUNKNOWN unknown = nullptr;
  EXPECT_EQ(message->OpenProperty(PR_RTF_COMPRESSED, &IID_IStream, 0, 0, &unknown), S_OK);
  mapi::InterfacePtr<IStream> compressed(static_cast<IStream*>(unknown));
  mapi::InterfacePtr<IStream> text;
  EXPECT_EQ(mapi::WrapCompressedRTFStream(compressed.get(), 0, text.Out()), S_OK);
  return text;
}

// The decompressed text; nullopt when a read fails.
std::optional<std::string> RtfOf(const std::string& file, const pstwriter::Bytes& stored,
                                 bool body_first) {
  auto text = WrappedRtf(file, stored, body_first);
  return text ? ReadAll(*text) : std::nullopt;
}

pstwriter::Bytes WithBadCrc(const std::string& rtf) {
  pstwriter::Bytes stored = pstwriter::CompressedRtfStream(rtf, true);
  stored[12] ^= std::byte{0xFF};  // the CRC field
  return stored;
}

// Each case read straight, and after the message decompressed the same value to derive PR_BODY.
class RtfDamage : public ::testing::TestWithParam<bool> {};

TEST_P(RtfDamage, CrcMismatchIsToleratedAndTheDataUsed) {
  const std::string rtf = pstwriter::NativeRtf("checked text");
  EXPECT_EQ(RtfOf("rtf-crc.pst", WithBadCrc(rtf), GetParam()), rtf);
}

TEST_P(RtfDamage, CrcMismatchIsTracedWhenTheReadPassesTheEnd) {
  const std::string trace = TempPath(GetParam() ? "rtf-crc-shared.trace" : "rtf-crc.trace");
  std::remove(trace.c_str());
  // A fresh process, so that the library opens the trace file named here.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        const test_support::ScopedEnvironment traced("PST2XMZ_TRACE", trace);
        const std::string rtf = pstwriter::NativeRtf(std::string(300, 'c'));
        auto text = WrappedRtf("rtf-crc-trace.pst", WithBadCrc(rtf), GetParam());
        std::string read(rtf.size(), '\0');
        ULONG got = 0;
        text->Read(read.data(), static_cast<ULONG>(read.size()), &got);
        std::ifstream before(trace);
        const bool early = before && before.peek() != std::ifstream::traits_type::eof();
        char more = 0;
        text->Read(&more, 1, &got);
        std::ifstream after(trace);
        std::string line;
        std::getline(after, line);
        std::exit(!early && read == rtf && got == 0 &&
                          line == "WrapCompressedRTFStream: CRC mismatch, data used"
                      ? 0
                      : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_P(RtfDamage, TruncatedDataFailsInsteadOfEndingEarly) {
  pstwriter::Bytes stored =
      pstwriter::CompressedRtfStream(pstwriter::NativeRtf(std::string(3000, 'q')), true);
  stored.resize(stored.size() - 8);  // COMPSIZE still promises the missing bytes
  EXPECT_EQ(RtfOf("rtf-cut.pst", stored, GetParam()), std::nullopt);
}

TEST_P(RtfDamage, StoredFormWhoseRawSizeCountsItsHeaderIsUsedWhole) {
  const std::string rtf = pstwriter::NativeRtf("as some writers store it");
  pstwriter::Bytes stored = pstwriter::CompressedRtfStream(rtf, false);
  const std::uint32_t comp_size = static_cast<std::uint32_t>(stored.size() - 4);
  for (int i = 0; i < 4; ++i) stored[4 + i] = static_cast<std::byte>(comp_size >> (8 * i));
  EXPECT_EQ(RtfOf("rtf-rawsize.pst", stored, GetParam()), rtf);
}

TEST_P(RtfDamage, SizeIsKnownOnceReadingBeganAndPiecesJoinUp) {
  const std::string rtf = pstwriter::NativeRtf(std::string(5000, 'p') + " end");
  auto text = WrappedRtf("rtf-stat.pst", pstwriter::CompressedRtfStream(rtf, true), GetParam());
  ASSERT_TRUE(text);
  STATSTG stat{};
  ASSERT_EQ(text->Stat(&stat, 0), S_OK);
  EXPECT_EQ(stat.cbSize.QuadPart, 0u);
  std::string joined;
  char piece[7];
  ULONG got = 0;
  while (text->Read(piece, sizeof piece, &got) == S_OK && got > 0) joined.append(piece, got);
  EXPECT_EQ(joined, rtf);
  ASSERT_EQ(text->Stat(&stat, 0), S_OK);
  EXPECT_EQ(stat.cbSize.QuadPart, rtf.size());
}

INSTANTIATE_TEST_SUITE_P(AfterDerivedBody, RtfDamage, ::testing::Bool());

INSTANTIATE_TEST_SUITE_P(CompressedAndStored, RtfForms, ::testing::Bool());

}  // namespace
}  // namespace platform_mapilib_test
