// Body forms the library derives for messages that do not store them, read through the interface
// as the composition reads them: PR_RTF_COMPRESSED through the decompressing wrapper, PR_BODY as a
// stream and through GetProps; and text streams that end at their stored terminator.
#include <gtest/gtest.h>

#include "support/rtf/rtf_extract.h"
#include "tests/platform_mapilib/library_fixture.h"
#include "tools/pstwriter/mapi_tags.h"
#include "tools/pstwriter/message_helpers.h"
#include "tools/pstwriter/pst_builder.h"
#include "tools/pstwriter/rtf_body.h"

namespace platform_mapilib_test {
namespace {

namespace tags = pstwriter::tags;

// "<p>café {x} C:\\dir</p>" with é in code page 1252.
constexpr std::string_view kHtml1252 =
    "<html><body><p>caf\xE9 {x} C:\\dir</p>\r\n<br>two</body></html>";
constexpr std::string_view kHtmlUtf8 =
    "<html><body><p>caf\xC3\xA9 {x} C:\\dir</p>\r\n<br>two</body></html>";

std::string AsIs(std::string_view bytes, std::string_view) { return std::string(bytes); }

// HTML larger than the library reads into memory at once.
std::string LargeHtml() {
  std::string html = "<html><body>";
  for (int i = 0; html.size() < (1200 << 10); ++i)
    html += "<p>{" + std::to_string(i) + "}\\</p>\r\n";
  return html + "</body></html>";
}

mapi::InterfacePtr<IMAPITable> InboxContents(IMsgStore& store) {
  auto inbox = OpenInboxFolder(store);
  mapi::InterfacePtr<IMAPITable> contents;
  if (inbox) {
    EXPECT_EQ(inbox->GetContentsTable(0, contents.Out()), S_OK);
  }
  return contents;
}

mapi::InterfacePtr<IMessage> MessageAt(IMsgStore& store, IMAPITable& contents, ULONG row) {
  mapi::RowSetPtr rows = AllRows(contents, {PR_ENTRYID});
  const SBinary& id = rows->aRow[row].lpProps[0].Value.bin;
  const auto* b = reinterpret_cast<const std::byte*>(id.lpb);
  return OpenEntry<IMessage>(store, {b, b + id.cb}, &IID_IMessage);
}

class DerivedBodyTest : public ::testing::TestWithParam<pstwriter::FileFormat> {
 protected:
  void SetUp() override {
    pstwriter::StoreOptions options;
    options.format = GetParam();
    const std::string path = TempPath("derived.pst");
    {
      pstwriter::PstBuilder builder(path, options);
      const auto inbox = builder.AddFolder(builder.ipm_subtree(), "Inbox");
      builder.SetSpecialFolder(pstwriter::SpecialFolder::kInbox, inbox);
      auto mail = [](const char* subject) {
        return pstwriter::MakeMail(subject, "A", "a@x.org", 1700000000);
      };
      pstwriter::Message binary_html = mail("binary html");
      pstwriter::SetHtmlBody(binary_html, kHtml1252);
      binary_html.props.SetInt32(tags::kInternetCodepage, 1252);
      builder.AddMessage(inbox, binary_html);
      pstwriter::Message string_html = mail("string html");
      string_html.props.SetString(tags::kHtml, std::string(kHtmlUtf8));
      builder.AddMessage(inbox, string_html);
      pstwriter::Message rtf_only = mail("rtf only");
      pstwriter::SetRtfBody(rtf_only, pstwriter::NativeRtf("Line {one}\nLine two"), true);
      builder.AddMessage(inbox, rtf_only);
      builder.AddMessage(inbox, mail("no body"));
      pstwriter::Message large = mail("large html");
      pstwriter::SetHtmlBody(large, LargeHtml());
      builder.AddMessage(inbox, large);
      builder.Finish();
    }
    opened_ = OpenStore(path);
    ASSERT_TRUE(opened_.store);
    contents_ = InboxContents(*opened_.store);
    ASSERT_TRUE(contents_);
  }

  mapi::InterfacePtr<IMessage> MessageAt(ULONG row) {
    return platform_mapilib_test::MessageAt(*opened_.store, *contents_, row);
  }

  std::optional<std::string> Stream(IMessage& message, ULONG tag) {
    LPUNKNOWN unknown = nullptr;
    if (message.OpenProperty(tag, &IID_IStream, 0, 0, &unknown) != S_OK) return std::nullopt;
    mapi::InterfacePtr<IStream> stream(static_cast<IStream*>(unknown));
    return ReadAll(*stream);
  }

  // The RTF behind PR_RTF_COMPRESSED, read as the composition reads it.
  std::string Rtf(IMessage& message) {
    LPUNKNOWN unknown = nullptr;
    EXPECT_EQ(message.OpenProperty(PR_RTF_COMPRESSED, &IID_IStream, 0, 0, &unknown), S_OK);
    mapi::InterfacePtr<IStream> compressed(static_cast<IStream*>(unknown));
    mapi::InterfacePtr<IStream> rtf;
    EXPECT_EQ(mapi::WrapCompressedRTFStream(compressed.get(), 0, rtf.Out()), S_OK);
    return ReadAll(*rtf).value_or("");
  }

  OpenedStore opened_;
  mapi::InterfacePtr<IMAPITable> contents_;
};

TEST_P(DerivedBodyTest, HtmlOnlyGivesRtfThatCarriesTheHtmlByteForByte) {
  const std::string binary = Rtf(*MessageAt(0));
  EXPECT_NE(binary.find("\\ansicpg1252\\fromhtml1"), std::string::npos);
  EXPECT_EQ(rtf::TakeFromRtf(binary, rtf::Take::kHtml, AsIs), kHtml1252);
  // A string value is handed out as UTF-8, and the RTF says so.
  const std::string string = Rtf(*MessageAt(1));
  EXPECT_NE(string.find("\\ansicpg65001\\fromhtml1"), std::string::npos);
  EXPECT_EQ(rtf::TakeFromRtf(string, rtf::Take::kHtml, AsIs), kHtmlUtf8);
  // The stream's size is known before it is read, and GetProps answers the same bytes.
  LPUNKNOWN unknown = nullptr;
  ASSERT_EQ(MessageAt(0)->OpenProperty(PR_RTF_COMPRESSED, &IID_IStream, 0, 0, &unknown), S_OK);
  mapi::InterfacePtr<IStream> compressed(static_cast<IStream*>(unknown));
  STATSTG stat{};
  ASSERT_EQ(compressed->Stat(&stat, 0), S_OK);
  const std::string streamed = ReadAll(*compressed).value_or("");
  EXPECT_EQ(stat.cbSize.QuadPart, streamed.size());
  const OneValue value = GetOne(*MessageAt(0), PR_RTF_COMPRESSED);
  EXPECT_EQ(value.tag, PR_RTF_COMPRESSED);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(value.bytes.data()), value.bytes.size()),
            streamed);
}

TEST_P(DerivedBodyTest, BodyIsTextFromTheHtmlElseFromTheRtf) {
  // </p> ends a line and <br> gives one of its own.
  const std::string from_html = "caf\xC3\xA9 {x} C:\\dir\r\n\r\ntwo";
  EXPECT_EQ(Stream(*MessageAt(0), PR_BODY), from_html);
  EXPECT_EQ(Stream(*MessageAt(1), PR_BODY), from_html);
  EXPECT_EQ(GetOne(*MessageAt(0), PR_BODY).text, from_html);
  EXPECT_EQ(GetOne(*MessageAt(2), PR_BODY).text, "Line {one}\r\nLine two\r\n");
  EXPECT_EQ(Stream(*MessageAt(2), PR_BODY), "Line {one}\r\nLine two\r\n");
}

// The session asks GetProps for both body forms before the composition opens them on the same
// object: every answer matches what a fresh object gives when only opened.
TEST_P(DerivedBodyTest, GetPropsFirstChangesNothingOpenPropertyGives) {
  for (ULONG row : {0u, 1u, 2u, 4u}) {
    SCOPED_TRACE(row);
    const auto fresh_body = Stream(*MessageAt(row), PR_BODY);
    const auto fresh_compressed = Stream(*MessageAt(row), PR_RTF_COMPRESSED);
    const std::string fresh_rtf = Rtf(*MessageAt(row));
    auto message = MessageAt(row);
    const OneValue body = GetOne(*message, PR_BODY);
    const OneValue compressed = GetOne(*message, PR_RTF_COMPRESSED);
    if (body.tag == PR_BODY) {
      EXPECT_EQ(body.text, fresh_body);
    }
    if (compressed.tag == PR_RTF_COMPRESSED) {
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(compressed.bytes.data()),
                            compressed.bytes.size()),
                fresh_compressed);
    }
    EXPECT_EQ(Stream(*message, PR_BODY), fresh_body);
    LPUNKNOWN unknown = nullptr;
    ASSERT_EQ(message->OpenProperty(PR_RTF_COMPRESSED, &IID_IStream, 0, 0, &unknown), S_OK);
    mapi::InterfacePtr<IStream> opened(static_cast<IStream*>(unknown));
    STATSTG stat{};
    ASSERT_EQ(opened->Stat(&stat, 0), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, fresh_compressed.value_or("").size());
    EXPECT_EQ(ReadAll(*opened), fresh_compressed);
    EXPECT_EQ(Rtf(*message), fresh_rtf);
  }
}

TEST_P(DerivedBodyTest, StoredFormsAreNotReplacedAndNothingComesFromNothing) {
  // The RTF-only message keeps its own RTF; the message without a body derives nothing.
  EXPECT_EQ(Rtf(*MessageAt(2)).find("\\fromhtml"), std::string::npos);
  LPUNKNOWN unknown = nullptr;
  EXPECT_EQ(MessageAt(3)->OpenProperty(PR_BODY, &IID_IStream, 0, 0, &unknown), MAPI_E_NOT_FOUND);
  EXPECT_EQ(MessageAt(3)->OpenProperty(PR_RTF_COMPRESSED, &IID_IStream, 0, 0, &unknown),
            MAPI_E_NOT_FOUND);
  EXPECT_EQ(GetOne(*MessageAt(3), PR_BODY).tag, CHANGE_PROP_TYPE(PR_BODY, PT_ERROR));
}

TEST_P(DerivedBodyTest, LargeHtmlStreamsAndIsLeftToOpenProperty) {
  EXPECT_EQ(rtf::TakeFromRtf(Rtf(*MessageAt(4)), rtf::Take::kHtml, AsIs), LargeHtml());
  const OneValue body = GetOne(*MessageAt(4), PR_BODY);
  EXPECT_EQ(body.tag, CHANGE_PROP_TYPE(PR_BODY, PT_ERROR));
  EXPECT_EQ(body.number, static_cast<ULONG>(MAPI_E_NOT_ENOUGH_MEMORY));
  const auto text = Stream(*MessageAt(4), PR_BODY);
  ASSERT_TRUE(text);
  EXPECT_TRUE(text->starts_with("{0}\\\r\n{1}\\\r\n")) << text->substr(0, 40);
}

INSTANTIATE_TEST_SUITE_P(BothFormats, DerivedBodyTest,
                         ::testing::Values(pstwriter::FileFormat::kUnicode,
                                           pstwriter::FileFormat::kAnsi));

TEST(TextStreamTest, StoredTerminatorIsNotHandedOut) {
  const std::string path = TempPath("terminated.pst");
  {
    pstwriter::PstBuilder builder(path, {});
    const auto inbox = builder.AddFolder(builder.ipm_subtree(), "Inbox");
    builder.SetSpecialFolder(pstwriter::SpecialFolder::kInbox, inbox);
    pstwriter::Message message = pstwriter::MakeMail("nul", "A", "a@x.org", 1700000000);
    message.props.SetString(tags::kBody, std::string("ok\0", 3));  // stored with its terminator
    builder.AddMessage(inbox, message);
    builder.Finish();
  }
  OpenedStore opened = OpenStore(path);
  ASSERT_TRUE(opened.store);
  auto contents = InboxContents(*opened.store);
  ASSERT_TRUE(contents);
  // Opened alone, and after GetProps converted the same value.
  for (bool get_props_first : {false, true}) {
    auto message = MessageAt(*opened.store, *contents, 0);
    if (get_props_first) {
      EXPECT_EQ(GetOne(*message, PR_BODY).text, "ok");
    }
    LPUNKNOWN unknown = nullptr;
    ASSERT_EQ(message->OpenProperty(PR_BODY, &IID_IStream, 0, 0, &unknown), S_OK);
    mapi::InterfacePtr<IStream> stream(static_cast<IStream*>(unknown));
    EXPECT_EQ(ReadAll(*stream), std::string("ok"));
  }
}

}  // namespace
}  // namespace platform_mapilib_test
