// Message assembly: body selection from PR_BODY and compressed RTF, attachments, embedded messages
// and the result the import session acts on.
#include "compose/compose_message.h"

#include <gtest/gtest.h>

#include <random>

#include "mime/base64_codec.h"
#include "mime/mime_message.h"
#include "platform/pst/rtf/rtf_compressor.h"
#include "tests/compose/mail_library_fixture.h"

namespace compose_test {
namespace {

StreamData CompressedRtf(std::string_view rtf) {
  const std::vector<std::byte> bytes = pst::rtf::CompressRtf(rtf, true);
  return Bytes(std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

AttachmentData DataAttachment(std::string bytes, PropMap props = {}) {
  AttachmentData a;
  a.props = std::move(props);
  a.props[PR_ATTACH_METHOD] = ATTACH_BY_VALUE;
  a.data = Bytes(std::move(bytes));
  return a;
}

AttachmentData EmbeddedAttachment(std::shared_ptr<MessageData> message) {
  AttachmentData a;
  a.props[PR_ATTACH_METHOD] = ATTACH_EMBEDDED_MSG;
  a.embedded = std::move(message);
  return a;
}

std::size_t Occurrences(const std::string& text, std::string_view what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// The bytes of a parsed base64 part.
std::string DecodedBody(const mime::TMimeMessage& part) {
  std::string out;
  mime::DecodeBase64Lines(part.Body().Lines(), out);
  return out;
}

const char kHtmlRtf[] =
    "{\\rtf1\\ansi\\ansicpg1252\\fromhtml1 \\deff0{\\fonttbl{\\f0 Arial;}}\r\n"
    "{\\*\\htmltag19 <html>}{\\*\\htmltag64 <p>}\\htmlrtf0 caf\\'e9{\\*\\htmltag72 </p>}}";

class ComposeMessageTest : public MailLibraryTest {
 protected:
  ComposeMessageTest() {
    message_->props[PR_SUBJECT] = std::string("S");
    message_->props[PR_HASATTACH] = ULONG{0};
  }

  std::string Body() {
    const std::string text = ComposedText(message_);
    return text.substr(text.find("\r\n\r\n") + 4);
  }

  std::shared_ptr<MessageData> message_ = std::make_shared<MessageData>();
};

TEST_F(ComposeMessageTest, PlainBodyOnlyGivesTextPlain) {
  message_->streams[PR_BODY] = Bytes("line one\r\nline two");
  compose::TMIMEConstructor root;
  EXPECT_EQ(Compose(message_, root), S_OK);
  EXPECT_EQ(root.Header().GetField("Content-Type", "*"), "text/plain; charset=us-ascii");
  EXPECT_EQ(root.Body(), "line one\r\nline two\r\n");
}

// A body longer than one read is read whole whatever size its stream states: the size read
// from a damaged file may be far too large (room for it is never taken) or too small.
TEST_F(ComposeMessageTest, LongBodyIsReadWholeWhateverSizeItsStreamStates) {
  std::string body;
  for (int i = 0; body.size() < 40000; ++i) body += "line " + std::to_string(i) + "\r\n";
  for (unsigned long long stated : {0xFFFFFFFFFFFFull, 100ull, body.size() * 1ull}) {
    StreamData data = Bytes(body);
    data.stated_size = stated;
    message_->streams[PR_BODY] = data;
    EXPECT_EQ(Body(), body) << stated;
  }
}

TEST_F(ComposeMessageTest, HtmlInRtfWithoutTextOfItsOwnGivesTextHtml) {
  message_->streams[PR_RTF_COMPRESSED] = CompressedRtf(
      "{\\rtf1\\fromhtml1 {\\*\\htmltag19 <html>}{\\*\\htmltag64 <p>}{\\*\\htmltag72 </p>}}");
  compose::TMIMEConstructor root;
  EXPECT_EQ(Compose(message_, root), S_OK);
  EXPECT_EQ(root.Header().GetField("Content-Type", "*"), "text/html");
  EXPECT_EQ(root.Body(), "<html><p></p>\r\n");
}

// The RTF's own text stands in for a missing or blank PR_BODY.
TEST_F(ComposeMessageTest, PlainBodyAndHtmlInRtfBecomeAlternatives) {
  for (const char* body : {"caf\xC3\xA9\r\n", "", " \r\n"}) {
    message_->streams.erase(PR_BODY);
    if (*body) message_->streams[PR_BODY] = Bytes(body);
    message_->streams[PR_RTF_COMPRESSED] = CompressedRtf(kHtmlRtf);
    EXPECT_EQ(Body(),
              "--Next_Part_1000\r\n"
              "Content-Type: text/plain; charset=utf-8\r\n"
              "Content-Transfer-Encoding: 8bit\r\n"
              "\r\n"
              "caf\xC3\xA9\r\n"
              "--Next_Part_1000\r\n"
              "Content-Type: text/html\r\n"
              "\r\n"
              "<html><p>caf&#233;</p>\r\n"
              "--Next_Part_1000--\r\n")
        << "PR_BODY: \"" << body << '"';
  }
}

TEST_F(ComposeMessageTest, TextInRtfReplacesTheBody) {
  message_->streams[PR_BODY] = Bytes("stale");
  message_->streams[PR_RTF_COMPRESSED] =
      CompressedRtf("{\\rtf1\\ansi\\fromtext fresh {\\b x}\\par}");
  EXPECT_EQ(Body(), "fresh x\r\n");
}

TEST_F(ComposeMessageTest, TextRtfWithoutTextKeepsTheBody) {
  message_->streams[PR_BODY] = Bytes("kept");
  message_->streams[PR_RTF_COMPRESSED] = CompressedRtf("{\\rtf1\\ansi\\fromtext {\\*\\x y} \\par}");
  EXPECT_EQ(Body(), "kept\r\n");
}

TEST_F(ComposeMessageTest, NulBytesNeverReachTheBody) {
  message_->streams[PR_BODY] = Bytes(std::string("text\0", 5));
  EXPECT_EQ(Body(), "text\r\n");
}

TEST_F(ComposeMessageTest, TextInRtfWithoutBodyGivesThePlainText) {
  message_->streams[PR_RTF_COMPRESSED] = CompressedRtf("{\\rtf1\\fromtext only\\par}");
  EXPECT_EQ(Body(), "only\r\n");
}

TEST_F(ComposeMessageTest, RtfWithoutMarkerLeavesTheBodyAlone) {
  message_->streams[PR_BODY] = Bytes("plain");
  message_->streams[PR_RTF_COMPRESSED] = CompressedRtf("{\\rtf1\\ansi {\\b bold}\\par}");
  EXPECT_EQ(Body(), "plain\r\n");
}

TEST_F(ComposeMessageTest, UndecodableRtfCountsAsNoRtf) {
  message_->streams[PR_BODY] = Bytes("plain");
  message_->streams[PR_RTF_COMPRESSED] = Bytes("not compressed rtf at all");
  EXPECT_EQ(Body(), "plain\r\n");
}

TEST_F(ComposeMessageTest, AttachmentsFollowTheBodyInTableOrder) {
  message_->props[PR_HASATTACH] = ULONG{1};
  message_->streams[PR_BODY] = Bytes("see attached");
  std::mt19937 random(3);
  std::string binary(3000, '\0');
  for (char& c : binary) c = static_cast<char>(random());
  message_->attachments = {
      DataAttachment(binary, {{PR_ATTACH_LONG_FILENAME, std::string("Quarterly report.pdf")},
                              {PR_ATTACH_FILENAME, std::string("QUARTE~1.PDF")},
                              {PR_ATTACH_MIME_TAG, std::string("application/pdf")},
                              {PR_ATTACH_CONTENT_ID_W, std::u16string(u"part1@x")}}),
      DataAttachment("", {{PR_ATTACH_FILENAME, std::string("EMPTY.TXT")}}),
      DataAttachment("u", {{PR_ATTACH_LONG_FILENAME, std::string("\xC3\x9C"
                                                                 "ber.txt")}})};
  compose::TMIMEConstructor root;
  EXPECT_EQ(Compose(message_, root), S_OK);
  const std::string text = root.GetText();
  EXPECT_NE(text.find("--Next_Part_1000\r\n"
                      "Content-Type: application/pdf; name=\"Quarterly report.pdf\"\r\n"
                      "Content-Disposition: attachment; filename=\"Quarterly report.pdf\"\r\n"
                      "Content-Id: <part1@x>\r\n"
                      "Content-Transfer-Encoding: base64\r\n\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("--Next_Part_1000\r\n"
                      "Content-Type: application/octet-stream; name=\"EMPTY.TXT\"\r\n"
                      "Content-Disposition: attachment; filename=\"EMPTY.TXT\"\r\n"
                      "Content-Transfer-Encoding: base64\r\n\r\n\r\n"
                      "--Next_Part_1000\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("filename*=utf-8''%C3%9Cber.txt\r\n"), std::string::npos);

  mime::TMimeMessage parsed;
  parsed.SetText(text);
  ASSERT_EQ(parsed.SubParts().Count(), 4);
  EXPECT_TRUE(parsed.SubParts().Item(0).IsOfType("text/plain"));
  EXPECT_EQ(DecodedBody(parsed.SubParts().Item(1)), binary);
  EXPECT_EQ(DecodedBody(parsed.SubParts().Item(3)), "u");
}

TEST_F(ComposeMessageTest, AttachmentThatCannotBeOpenedGivesNoPart) {
  message_->props[PR_HASATTACH] = ULONG{1};
  AttachmentData closed = DataAttachment("x");
  closed.opens = false;
  AttachmentData by_reference = DataAttachment("y");
  by_reference.data.reset();
  message_->attachments = {closed, by_reference, DataAttachment("z")};
  const std::string text = ComposedText(message_);
  EXPECT_EQ(Occurrences(text, "Content-Disposition: attachment"), 1u);
  EXPECT_NE(text.find("\r\n\r\neg==\r\n"), std::string::npos);
}

TEST_F(ComposeMessageTest, EmptyAttachmentTableLeavesMixedWithTheBodyAlone) {
  message_->props[PR_HASATTACH] = ULONG{1};
  message_->streams[PR_BODY] = Bytes("b");
  EXPECT_EQ(Body(),
            "--Next_Part_1000\r\n"
            "Content-Type: text/plain; charset=us-ascii\r\n"
            "Content-Transfer-Encoding: 7bit\r\n"
            "\r\n"
            "b\r\n"
            "--Next_Part_1000--\r\n");
}

TEST_F(ComposeMessageTest, UnreadableAttachmentTableLeavesMixedWithTheBodyAlone) {
  message_->props[PR_HASATTACH] = ULONG{1};
  message_->attachment_table_fails = true;
  compose::TMIMEConstructor root;
  EXPECT_EQ(Compose(message_, root), S_OK);
  EXPECT_EQ(root.Header().GetField("Content-Type", ""), "multipart/mixed");
  EXPECT_EQ(root.Parts().size(), 1u);
}

// Without flags there is no PR_HASATTACH: the attachment table says whether there are attachments.
TEST_F(ComposeMessageTest, MessageWithoutFlagsIsComposedWithWhatItHolds) {
  message_->props.erase(PR_HASATTACH);
  message_->streams[PR_BODY] = Bytes("b");
  compose::TMIMEConstructor plain;
  EXPECT_EQ(Compose(message_, plain), S_OK);
  EXPECT_EQ(plain.Header().GetField("Content-Type", ""), "text/plain");
  message_->attachments = {
      DataAttachment("data", {{PR_ATTACH_LONG_FILENAME, std::string("a.bin")}})};
  compose::TMIMEConstructor mixed;
  EXPECT_EQ(Compose(message_, mixed), S_OK);
  EXPECT_EQ(mixed.Header().GetField("Content-Type", ""), "multipart/mixed");
  EXPECT_EQ(mixed.Parts().size(), 2u);
}

TEST_F(ComposeMessageTest, AttachmentsHeldByReferenceBecomeExternalBodies) {
  message_->props[PR_HASATTACH] = ULONG{1};
  AttachmentData local =
      DataAttachment("", {{PR_ATTACH_LONG_FILENAME, std::string("plan.doc")},
                          {PR_ATTACH_LONG_PATHNAME, std::string("C:\\Docs\\plan.doc")},
                          {PR_ATTACH_MIME_TAG, std::string("application/msword")}});
  local.props[PR_ATTACH_METHOD] = ATTACH_BY_REFERENCE;
  local.data.reset();
  AttachmentData web =
      DataAttachment("", {{PR_ATTACH_FILENAME, std::string("SITE.HTM")},
                          {PR_ATTACH_PATHNAME, std::string("https://x.org/site.htm")}});
  web.props[PR_ATTACH_METHOD] = ATTACH_BY_REF_ONLY;
  web.data.reset();
  message_->attachments = {local, web};
  compose::TMIMEConstructor root;
  EXPECT_EQ(Compose(message_, root), S_OK);
  ASSERT_EQ(root.Parts().size(), 3u);
  const std::string text = root.GetText();
  EXPECT_NE(text.find("Content-Type: message/external-body; access-type=local-file;\r\n"
                      " name=\"C:\\\\Docs\\\\plan.doc\"\r\n"
                      "Content-Disposition: attachment; filename=\"plan.doc\"\r\n"
                      "Content-Transfer-Encoding: 7bit\r\n\r\n"
                      "Content-Type: application/msword; name=\"plan.doc\"\r\n\r\n\r\n--"),
            std::string::npos)
      << text;
  EXPECT_EQ(root.Parts()[2]->Header().GetField("Content-Type", "URL"), "https://x.org/site.htm");
}

// message/* may not be base64: text goes as it stands, byte for byte; anything else as an opaque
// file that keeps its type in a parameter.
TEST_F(ComposeMessageTest, MessageTypedAttachmentsKeepTheirBytesWithoutBase64) {
  message_->props[PR_HASATTACH] = ULONG{1};
  const std::string report =
      "Reporting-MTA: dns; mx.x.org\r\n\r\nFinal-Recipient: rfc822; a@x.org\r\n";
  const std::string binary("\0\x01\xff\r\nbin", 8);
  message_->attachments = {
      DataAttachment(report, {{PR_ATTACH_MIME_TAG, std::string("message/delivery-status")}}),
      DataAttachment(binary, {{PR_ATTACH_MIME_TAG, std::string("message/rfc822")}}),
      DataAttachment("a\"b\\c", {{PR_ATTACH_LONG_FILENAME, std::string("say \"hi\" \\ bye.txt")}})};
  compose::TMIMEConstructor root;
  EXPECT_EQ(Compose(message_, root), S_OK);
  ASSERT_EQ(root.Parts().size(), 4u);
  EXPECT_EQ(root.Parts()[1]->Header().GetField("Content-Transfer-Encoding", "*"), "7bit");
  EXPECT_EQ(root.Parts()[2]->Header().GetField("Content-Type", ""), "application/octet-stream");
  EXPECT_EQ(root.Parts()[2]->Header().GetField("Content-Type", "x-original-type"),
            "message/rfc822");
  EXPECT_EQ(root.Parts()[2]->Header().GetField("Content-Transfer-Encoding", "*"), "base64");
  const std::string text = root.GetText();
  EXPECT_NE(text.find("name=\"say \\\"hi\\\" \\\\ bye.txt\""), std::string::npos);

  // The line break before a delimiter is the delimiter's: the report's own last one stays.
  EXPECT_NE(text.find("7bit\r\n\r\n" + report + "\r\n--Next_Part_"), std::string::npos);
  mime::TMimeMessage parsed;
  parsed.SetText(text);
  ASSERT_EQ(parsed.SubParts().Count(), 4);
  EXPECT_EQ(DecodedBody(parsed.SubParts().Item(2)), binary);
}

// Attachment data is read while the text is written: a read that breaks off ends the writing with
// its failure, and nothing after it (the second attachment, the closing delimiter) is written.
TEST_F(ComposeMessageTest, AttachmentDataBrokenOffPartWayFailsTheText) {
  message_->props[PR_HASATTACH] = ULONG{1};
  AttachmentData damaged = DataAttachment(std::string(100000, 'd'));
  damaged.data->fail_after = 70000;
  message_->attachments = {damaged,
                           DataAttachment("after", {{PR_ATTACH_FILENAME, std::string("AFTER")}})};
  compose::TMIMEConstructor root;
  EXPECT_EQ(Compose(message_, root), S_OK);
  std::string text;
  compose::StringTextSink sink(text);
  EXPECT_EQ(root.WriteTo(sink), STG_E_READFAULT);
  EXPECT_EQ(text.find("AFTER"), std::string::npos);
  EXPECT_EQ(text.find("--Next_Part_1000--"), std::string::npos);
}

// The bytes of a message/* attachment are read while composing, so their failure is composing's.
TEST_F(ComposeMessageTest, MessageTypedAttachmentBrokenOffPartWayFailsTheMessage) {
  message_->props[PR_HASATTACH] = ULONG{1};
  AttachmentData damaged = DataAttachment(std::string(100000, 'd'),
                                          {{PR_ATTACH_MIME_TAG, std::string("message/rfc822")}});
  damaged.data->fail_after = 70000;
  message_->attachments = {damaged};
  compose::TMIMEConstructor root;
  EXPECT_EQ(Compose(message_, root), STG_E_READFAULT);
}

TEST_F(ComposeMessageTest, BodyBrokenOffPartWayFailsTheMessage) {
  message_->streams[PR_BODY] = Bytes(std::string(200000, 'b'));
  message_->streams[PR_BODY].fail_after = 100000;
  compose::TMIMEConstructor root;
  EXPECT_EQ(Compose(message_, root), STG_E_READFAULT);
}

TEST_F(ComposeMessageTest, EmbeddedMessageWithAttachmentsNestsAMixedPart) {
  auto inner = std::make_shared<MessageData>();
  inner->props[PR_SUBJECT] = std::string("Inner");
  inner->props[PR_HASATTACH] = ULONG{1};
  inner->streams[PR_BODY] = Bytes("inner body");
  inner->attachments = {DataAttachment("abc", {{PR_ATTACH_FILENAME, std::string("A.TXT")}})};
  message_->props[PR_HASATTACH] = ULONG{1};
  message_->streams[PR_BODY] = Bytes("outer body");
  message_->attachments = {EmbeddedAttachment(inner)};
  const std::string text = ComposedText(message_);

  mime::TMimeMessage parsed;
  parsed.SetText(text);
  ASSERT_EQ(parsed.SubParts().Count(), 2);
  EXPECT_TRUE(parsed.IsOfType("multipart/mixed"));
  EXPECT_TRUE(parsed.SubParts().Item(1).IsOfType("message/rfc822"));
  EXPECT_NE(text.find("Content-Type: message/rfc822\r\n\r\nTo: \r\nSubject: Inner\r\n"),
            std::string::npos);
  EXPECT_EQ(Occurrences(text, "--Next_Part_1000--\r\n"), 1u);
  EXPECT_EQ(Occurrences(text, "--Next_Part_1001--\r\n"), 1u);
}

TEST_F(ComposeMessageTest, EmbeddedMessagesNestAtMostThirtyTwoDeep) {
  auto innermost = std::make_shared<MessageData>();
  innermost->props[PR_HASATTACH] = ULONG{0};
  std::shared_ptr<MessageData> chain = innermost;
  for (int level = 0; level < 40; ++level) {
    auto outer = std::make_shared<MessageData>();
    outer->props[PR_HASATTACH] = ULONG{1};
    outer->attachments = {EmbeddedAttachment(chain)};
    chain = outer;
  }
  const std::string text = ComposedText(chain);
  EXPECT_EQ(Occurrences(text, "Content-Type: message/rfc822\r\n"), 32u);
}

TEST_F(ComposeMessageTest, SecondAttachmentTakesNothingFromTheFirst) {
  message_->props[PR_HASATTACH] = ULONG{1};
  message_->attachments = {
      DataAttachment("1", {{PR_ATTACH_FILENAME, std::string("ONE")},
                           {PR_ATTACH_MIME_TAG, std::string("text/x-one")},
                           {PR_ATTACH_CONTENT_ID_W, std::u16string(u"one@x")}}),
      DataAttachment("2", {{PR_ATTACH_LONG_FILENAME, std::string("two")}})};
  const std::string text = ComposedText(message_);
  EXPECT_EQ(Occurrences(text, "Content-Id:"), 1u);
  EXPECT_NE(text.find("Content-Type: application/octet-stream; name=\"two\"\r\n"),
            std::string::npos);
}

TEST_F(ComposeMessageTest, LargeAttachmentIsEncodedWhole) {
  message_->props[PR_HASATTACH] = ULONG{1};
  std::string big(5 * 1024 * 1024 + 7, '\0');
  std::mt19937 random(11);
  for (char& c : big) c = static_cast<char>(random());
  message_->streams[PR_BODY] = Bytes("big one");
  message_->attachments = {DataAttachment(big, {{PR_ATTACH_FILENAME, std::string("BIG.BIN")}})};
  compose::TMIMEConstructor root;
  ASSERT_EQ(Compose(message_, root), S_OK);
  ASSERT_EQ(root.Parts().size(), 2u);
  EXPECT_EQ(root.Parts()[1]->Body(), "") << "attachment bytes are not held in the tree";
  const std::string text = root.GetText();
  const std::string encoded_start = "base64\r\n\r\n";
  const std::size_t body_start = text.find(encoded_start) + encoded_start.size();
  const std::size_t body_end = text.find("--Next_Part_1000--", body_start);
  EXPECT_EQ(body_end - body_start, (big.size() + 53) / 54 * 2 + (big.size() + 2) / 3 * 4);
  mime::TMimeMessage parsed;
  parsed.SetText(text);
  EXPECT_EQ(DecodedBody(parsed.SubParts().Item(1)), big);
}

}  // namespace
}  // namespace compose_test
