// Building messages: multipart conversion, plain-text and HTML parts, attachments, rendering.
#include <gtest/gtest.h>

#include "mime/base64_codec.h"
#include "mime/mime_message.h"

namespace mime {
namespace {

TEST(ConvertToMultipart, MovesTheContentIntoAChildUnderANewGuid) {
  TMimeMessage message;
  const std::string old_guid = message.Guid();
  message.SetText(
      "Content-Type: text/plain\r\nContent-Transfer-Encoding: 8bit\r\nSubject: s\r\n\r\nhello\r\n");
  message.ConvertToMultipart("multipart/alternative");
  EXPECT_TRUE(message.IsOfType("multipart/alternative"));
  EXPECT_EQ(
      message.Header().ContentType().BoundaryString(), "Next_Part_" + [&] {
        std::string uid = message.Uid();
        for (char& c : uid)
          if (c == '-') c = '_';
        return uid;
      }());
  ASSERT_EQ(message.Guid().size(), 38u);
  EXPECT_NE(message.Guid(), old_guid);
  EXPECT_EQ(message.Uid(), message.Guid().substr(1, 36));
  EXPECT_EQ(message.Header().ReadField("Content-Transfer-Encoding"), "");
  EXPECT_EQ(message.Header().Subject(), "s");
  EXPECT_EQ(message.Body().Lines(), mime::LineList{"This is a multi-part message"});
  ASSERT_EQ(message.SubParts().Count(), 1);
  TMimeMessage& child = message.SubParts().Item(0);
  EXPECT_EQ(child.Header().MimeType(), "text/plain");
  EXPECT_EQ(child.Header().ContentTransferEncoding().EncodingType(), "8bit");
  EXPECT_EQ(child.Body().Lines(), mime::LineList{"hello"});
}

TEST(ConvertToMultipart, EmptyContentTypeCreatesNoChild) {
  TMimeMessage message;
  message.Body().SetText("old body");
  message.ConvertToMultipart("multipart/mixed");
  EXPECT_EQ(message.SubParts().Count(), 0);
  EXPECT_EQ(message.Body().Lines(), mime::LineList{"This is a multi-part message"});
}

TEST(PlaintextPart, UntypedMessageIsItsOwnPlainTextPart) {
  TMimeMessage message;
  EXPECT_EQ(&message.Plaintext(), &message);
  EXPECT_EQ(message.Header().MimeType(), "");  // found as untyped plain text, left as it is
}

TEST(HtmlPart, UntypedMessageBecomesHtmlAndPlainTextGetsHtmlAppended) {
  TMimeMessage message;
  EXPECT_EQ(&message.Html(), &message);
  EXPECT_EQ(message.Header().MimeType(), "text/html");
  TMimeMessage plain;
  plain.AssignPlaintextPart("text", "utf-8");
  EXPECT_EQ(plain.Header().ContentType().GetText(), "text/plain; charset=\"utf-8\"");
  TMimeMessage& html = plain.Html();
  ASSERT_EQ(plain.SubParts().Count(), 2);
  EXPECT_EQ(&plain.SubParts().Item(1), &html);
}

TEST(PlaintextPart, HtmlMessageBecomesAlternativeWithPlainFirst) {
  TMimeMessage message;
  message.AssignHtmlPart("<p>x</p>");
  TMimeMessage& plain = message.Plaintext();
  ASSERT_TRUE(message.IsOfType("multipart/alternative"));
  ASSERT_EQ(message.SubParts().Count(), 2);
  EXPECT_EQ(&message.SubParts().Item(0), &plain);
  EXPECT_TRUE(message.SubParts().Item(1).IsOfType("text/html"));
  EXPECT_EQ(&message.Plaintext(), &plain);  // found the second time
}

TEST(HtmlPart, MixedWithoutPartsReceivesTheNewPart) {
  TMimeMessage message;
  message.SetText("Content-Type: multipart/mixed; boundary=b\r\n\r\n--b--\r\n");
  TMimeMessage& html = message.Html();
  ASSERT_EQ(message.SubParts().Count(), 1);
  EXPECT_EQ(&message.SubParts().Item(0), &html);
}

TEST(PlaintextPart, OtherTypesGetAnUnplacedPart) {
  TMimeMessage message;
  message.SetText("Content-Type: image/png\r\n\r\nxx\r\n");
  TMimeMessage& plain = message.Plaintext();
  EXPECT_NE(&plain, &message);
  EXPECT_EQ(message.SubParts().Count(), 0);
  EXPECT_EQ(plain.Header().MimeType(), "text/plain");
}

TEST(AttachBinary, Base64AttachmentDecodesToTheData) {
  TMimeMessage message;
  message.AssignPlaintextPart("see attached", "us-ascii");
  std::string data;
  for (int i = 0; i < 300; ++i) data.push_back(static_cast<char>(i));
  TMimeMessage& part =
      message.AttachBinary(data, "application/octet-stream", "base64", "a.bin", "");
  ASSERT_TRUE(message.IsOfType("multipart/mixed"));
  ASSERT_EQ(message.SubParts().Count(), 2);
  EXPECT_EQ(&message.SubParts().Item(1), &part);
  EXPECT_EQ(part.Header().Filename(), "a.bin");
  EXPECT_EQ(part.Header().ReadField("Content-Disposition"), "attachment; filename=\"a.bin\"");
  EXPECT_EQ(part.Body().Lines()[0].size(), 72u);
  std::string decoded;
  mime::DecodeBase64Lines(part.Body().Lines(), decoded);
  EXPECT_EQ(decoded, data);
  EXPECT_TRUE(part.IsAttachment());
  EXPECT_FALSE(message.SubParts().Item(0).IsAttachment());
}

TEST(AttachBinary, TextAndQuotedPrintableBodiesKeepTheirData) {
  TMimeMessage message;
  TMimeMessage& text =
      message.AttachBinary("line one\r\nline two", "text/plain", "7bit", "", "us-ascii");
  EXPECT_EQ(text.Body().Lines(), (mime::LineList{"line one", "line two"}));
  EXPECT_EQ(text.Header().ContentType().GetText(), "text/plain; charset=\"us-ascii\"");
  TMimeMessage& qp =
      message.AttachBinary("caf\xE9", "text/plain", "quoted-printable", "", "iso-8859-1");
  EXPECT_EQ(qp.Body().Lines(), mime::LineList{"caf=E9"});
  EXPECT_EQ(qp.DecodeBody("utf-8"), "caf\xC3\xA9\r\n");
}

TEST(AttachMessage, AttachesTheGivenMessage) {
  TMimeMessage inner;
  inner.SetText("Subject: inner\r\n\r\ninner body\r\n");
  TMimeMessage message;
  message.SetText("Subject: outer\r\n\r\nouter body\r\n");
  TMimeMessage& holder = message.AttachMessage(&inner);
  EXPECT_TRUE(holder.IsOfType("message/rfc822"));
  ASSERT_EQ(holder.SubParts().Count(), 1);
  EXPECT_EQ(holder.SubParts().Item(0).Header().Subject(), "inner");
  TMimeMessage reparsed;
  reparsed.SetText(message.GetText());
  ASSERT_EQ(reparsed.SubParts().Count(), 1);  // the old body became a child without content type
  EXPECT_EQ(reparsed.SubParts().Item(0).SubParts().Item(0).Header().Subject(), "inner");
}

TEST(IsAttachment, FollowsTypeAndPosition) {
  TMimeMessage message;
  message.SetText(
      "Content-Type: multipart/alternative; boundary=b\r\n\r\n--b\r\nContent-Type: "
      "text/plain\r\n\r\nx\r\n"
      "--b\r\nContent-Type: text/html\r\n\r\ny\r\n--b--\r\n");
  EXPECT_FALSE(message.SubParts().Item(1).IsAttachment());
  TMimeMessage digest;
  digest.SetText(
      "Content-Type: multipart/digest; boundary=b\r\n\r\n--b\r\nContent-Type: "
      "text/plain\r\n\r\nx\r\n--b--\r\n");
  EXPECT_TRUE(digest.SubParts().Item(0).IsAttachment());
  TMimeMessage image;
  image.SetText("Content-Type: image/png\r\n\r\n");
  EXPECT_TRUE(image.IsAttachment());
  EXPECT_FALSE(message.IsAttachment());
}

TEST(Rendering, PlaintextDecodesBase64AndConvertsCharsets) {
  TMimeMessage message;
  message.SetText(
      "Content-Type: text/plain; charset=iso-8859-1\r\nContent-Transfer-Encoding: "
      "base64\r\n\r\nY2Fm6Q==\r\n");
  EXPECT_EQ(message.RenderForPlaintext("utf-8"), "caf\xC3\xA9");
  EXPECT_EQ(message.RenderForPlaintext("iso-8859-1"), "caf\xE9");
}

TEST(Rendering, HtmlPrefersPlainTextWithReferences) {
  TMimeMessage message;
  message.SetText(
      "Content-Type: multipart/alternative; boundary=b\r\n\r\n--b\r\nContent-Type: text/plain; "
      "charset=utf-8\r\n\r\n"
      "caf\xC3\xA9\r\n--b\r\nContent-Type: text/html\r\n\r\n<p>x</p>\r\n--b--\r\n");
  EXPECT_EQ(message.RenderForHtml(), "caf&#233;\r\n");
  TMimeMessage html;
  html.SetText("Content-Type: text/html; charset=utf-8\r\n\r\n<p>caf\xC3\xA9</p>\r\n");
  EXPECT_EQ(html.RenderForHtml(), "<p>caf\xC3\xA9</p>\r\n");
}

}  // namespace
}  // namespace mime
