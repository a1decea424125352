// The part composer: fields and parameters, body structures, boundaries, attachment parts and the
// written text.
#include "compose/mime_constructor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "mime/base64_codec.h"
#include "mime/mime_message.h"
#include "tests/compose/fake_clock.h"

namespace compose {
namespace {

class ComposerTest : public ::testing::Test {
 protected:
  compose_test::FakeClock clock_;
  os::ScopedClock scoped_clock_{clock_};
  TMIMEConstructor root_;

  void Header(HeaderLines lines) { root_.Header().Lines() = std::move(lines); }
};

TEST_F(ComposerTest, CharsetParameterIsAppendedQuotedOrReplacedWhereItStands) {
  Header({"Content-Type: text/plain"});
  root_.Header().SetField("Content-Type", "v", "charset");
  EXPECT_EQ(root_.Header().GetField("Content-Type", "*"), "text/plain; charset=\"v\"");

  Header({"Content-Type: text/plain; charset=us-ascii"});
  root_.Header().SetField("Content-Type", "v", "charset");
  EXPECT_EQ(root_.Header().GetField("Content-Type", "*"), "text/plain; charset=v");
}

TEST_F(ComposerTest, MainValueGoesInFrontOfExistingParameters) {
  Header({"Content-Type: ; name=x"});
  root_.Header().SetField("Content-Type", "text/plain", "");
  EXPECT_EQ(root_.Header().Lines(), HeaderLines({"Content-Type: text/plain;  name=x"}));
}

TEST_F(ComposerTest, SettingTheSameValueInAnotherCaseChangesNothing) {
  Header({"Content-Type: TEXT/Plain;charset=x"});
  root_.Header().SetField("Content-Type", "text/plain", "");
  EXPECT_EQ(root_.Header().Lines(), HeaderLines({"Content-Type: TEXT/Plain;charset=x"}));
}

TEST_F(ComposerTest, PlainAsciiTextOnlyGivesATextPlainRoot) {
  root_.SetBody("Hello", "", false);
  EXPECT_EQ(root_.Kind(), PartKind::kText);
  EXPECT_EQ(root_.GetText(),
            "Content-Type: text/plain; charset=us-ascii\r\n"
            "Content-Transfer-Encoding: 7bit\r\n"
            "\r\n"
            "Hello\r\n");
}

TEST_F(ComposerTest, AnyHighByteLabelsThePlainTextUtf8AndEightBit) {
  root_.SetBody("caf\xE9\nbar", "", false);
  EXPECT_EQ(root_.Header().GetField("Content-Type", "charset"), "utf-8");
  EXPECT_EQ(root_.Header().GetField("Content-Transfer-Encoding", "*"), "8bit");
  EXPECT_EQ(root_.Body(), "caf\xE9\r\nbar\r\n");
}

TEST(ComposerTextTest, EveryLineBreakBecomesCrLfAndAHighByteAnywhereMakesUtf8) {
  const std::pair<std::string, std::string> breaks[] = {{"a\rb\nc\r\nd", "a\r\nb\r\nc\r\nd\r\n"},
                                                        {"\r\r\n\n", "\r\n\r\n\r\n"},
                                                        {"x\r", "x\r\n"},
                                                        {"\n\rx", "\r\n\r\nx\r\n"},
                                                        {"done\r\n", "done\r\n"},
                                                        {"", ""}};
  for (const auto& [text, body] : breaks) {
    TMIMEConstructor part;
    part.SetBody(text, "", false);
    EXPECT_EQ(part.Body(), body) << text;
  }
  for (std::size_t at : {0u, 7u, 8u, 17u, 19u}) {
    std::string text(20, 'a');
    text[at] = '\xC3';
    TMIMEConstructor part;
    part.SetBody(text, "", false);
    EXPECT_EQ(part.Header().GetField("Content-Type", "charset"), "utf-8") << at;
  }
  TMIMEConstructor ascii;
  ascii.SetBody(std::string(20, 'a'), "", false);
  EXPECT_EQ(ascii.Header().GetField("Content-Type", "charset"), "us-ascii");
}

TEST_F(ComposerTest, PlainAndHtmlBecomeAlternativesWithATickBoundary) {
  root_.SetBody("plain", "<p>x</p>", false);
  EXPECT_EQ(root_.GetText(),
            "Content-Type: multipart/alternative; boundary=\"Next_Part_1000\"\r\n"
            "\r\n"
            "--Next_Part_1000\r\n"
            "Content-Type: text/plain; charset=us-ascii\r\n"
            "Content-Transfer-Encoding: 7bit\r\n"
            "\r\n"
            "plain\r\n"
            "--Next_Part_1000\r\n"
            "Content-Type: text/html\r\n"
            "\r\n"
            "<p>x</p>\r\n"
            "--Next_Part_1000--\r\n");
}

TEST_F(ComposerTest, HtmlOnlyGivesATextHtmlRoot) {
  root_.SetBody("", "<b>x</b>", false);
  EXPECT_EQ(root_.GetText(), "Content-Type: text/html\r\n\r\n<b>x</b>\r\n");
}

TEST_F(ComposerTest, NoTextGivesAnEmptyTextPartInPlaceOfTheTransportContentHeaders) {
  root_.Header().SetField("Content-Type", "multipart/alternative; boundary=\"gone\"", "*");
  root_.Header().SetField("Content-Transfer-Encoding", "quoted-printable", "*");
  root_.SetBody("", "", false);
  EXPECT_EQ(root_.Kind(), PartKind::kText);
  EXPECT_EQ(root_.GetText(),
            "Content-Type: text/plain; charset=us-ascii\r\n"
            "Content-Transfer-Encoding: 7bit\r\n\r\n");
}

TEST_F(ComposerTest, LinesLongerThanMailCarriesGoQuotedPrintable) {
  const std::string fits(998, 'a');
  root_.SetBody(fits, "", false);
  EXPECT_NE(root_.GetText().find("7bit\r\n\r\n" + fits + "\r\n"), std::string::npos);
  TMIMEConstructor alternative;
  const std::string html = "<p>" + std::string(996, 'b') + "</p>";
  alternative.SetBody("short", html, false);
  const std::string text = alternative.GetText();
  EXPECT_NE(text.find("Content-Type: text/html\r\nContent-Transfer-Encoding: quoted-printable"),
            std::string::npos);
  EXPECT_EQ(text.find(html), std::string::npos);
  EXPECT_NE(text.find("=\r\n"), std::string::npos);  // soft line breaks
  EXPECT_NE(text.find("7bit\r\n\r\nshort\r\n"), std::string::npos);
}

TEST_F(ComposerTest, NestedMultipartsBuiltInTheSameMillisecondGetDistinctBoundaries) {
  root_.SetBody("plain", "<p>x</p>", true);
  ASSERT_EQ(root_.Parts().size(), 1u);
  const TMIMEConstructor& body = *root_.Parts()[0];
  EXPECT_EQ(body.Header().GetField("Content-Type", "boundary"), "Next_Part_1000");
  EXPECT_EQ(root_.Header().GetField("Content-Type", ""), "multipart/mixed");
  EXPECT_EQ(root_.Header().GetField("Content-Type", "boundary"), "Next_Part_1001");
}

TEST_F(ComposerTest, ABoundaryThatBeginsAnotherBelowItIsNotUsed) {
  auto inner = std::make_unique<TMIMEConstructor>();
  clock_.tick = 12;
  inner->SetBody("x", "y", false);
  clock_.tick = 1;
  root_.SetBody("c", "", true);
  EXPECT_EQ(root_.Header().GetField("Content-Type", "boundary"), "Next_Part_1");
  root_.AddPart(std::move(inner));
  // A delimiter line "--Next_Part_12" begins with "--Next_Part_1".
  EXPECT_EQ(root_.Header().GetField("Content-Type", "boundary"), "Next_Part_2");
}

TEST_F(ComposerTest, EmbeddedMessageWithTheParentsBoundaryMakesTheParentTakeAnother) {
  root_.SetBody("outer", "", true);
  auto child = std::make_unique<TMIMEConstructor>();
  child->SetBody("inner", "", true);
  ASSERT_EQ(child->Header().GetField("Content-Type", "boundary"),
            root_.Header().GetField("Content-Type", "boundary"));
  root_.AddMessagePart(std::move(child));
  EXPECT_EQ(root_.Header().GetField("Content-Type", "boundary"), "Next_Part_1001");

  mime::TMimeMessage parsed;
  parsed.SetText(root_.GetText());
  ASSERT_EQ(parsed.SubParts().Count(), 2);
  EXPECT_TRUE(parsed.SubParts().Item(1).IsOfType("message/rfc822"));
}

TEST_F(ComposerTest, ClashingTransportBoundaryIsReplacedWithoutTouchingTheType) {
  Header({"Content-Type: multipart/mixed; boundary=mixed"});
  root_.SetBody("p", "", true);
  auto child = std::make_unique<TMIMEConstructor>();
  child->Header().SetField("Content-Type", "multipart/mixed; boundary=\"mixed\"", "*");
  child->SetBody("q", "", true);
  root_.AddMessagePart(std::move(child));
  EXPECT_EQ(root_.Header().GetField("Content-Type", "*"),
            "multipart/mixed; boundary=\"Next_Part_1000\"");
}

TEST_F(ComposerTest, TransportAlternativeDeclarationKeepsItsBoundary) {
  Header({"Subject: s", "Content-Type: multipart/alternative;", "\tboundary=\"orig\""});
  root_.SetBody("p", "<p>h</p>", false);
  EXPECT_EQ(
      root_.Header().Lines(),
      HeaderLines({"Subject: s", "Content-Type: multipart/alternative;", "\tboundary=\"orig\""}));
  EXPECT_NE(root_.GetText().find("\r\n--orig--\r\n"), std::string::npos);
}

TEST_F(ComposerTest, TransportHeaderOfAnotherTypeIsReplacedInPlaceByPlainText) {
  Header({"Received: r", "Content-Type: text/html; charset=x", "X-A: 1",
          "Content-Transfer-Encoding: quoted-printable", "Subject: s"});
  root_.SetBody("hi", "", false);
  EXPECT_EQ(root_.Header().Lines(),
            HeaderLines({"Received: r", "Content-Type: text/plain; charset=us-ascii", "X-A: 1",
                         "Content-Transfer-Encoding: 7bit", "Subject: s"}));
}

TEST_F(ComposerTest, TransportTextPlainKeepsItsFieldButNotAWrongCharsetOrEncoding) {
  Header({"Content-Type: text/plain; format=flowed; charset=iso-8859-1",
          "Content-Transfer-Encoding: quoted-printable"});
  root_.SetBody("caf\xC3\xA9 =3D", "", false);
  EXPECT_EQ(root_.Header().Lines(),
            HeaderLines({"Content-Type: text/plain; format=flowed; charset=utf-8",
                         "Content-Transfer-Encoding: 8bit"}));

  Header({"Content-Type: text/plain; format=flowed"});
  root_.SetBody("x", "", false);
  EXPECT_EQ(root_.Header().Lines(),
            HeaderLines({"Content-Type: text/plain; format=flowed; charset=\"us-ascii\"",
                         "Content-Transfer-Encoding: 7bit"}));
}

TEST_F(ComposerTest, TransportEncodingOfAMultipartMessageIsDropped) {
  Header({"Content-Type: text/plain", "Content-Transfer-Encoding: base64"});
  root_.SetBody("p", "", true);
  EXPECT_EQ(root_.Header().GetField("Content-Transfer-Encoding", "*"), "");
}

TEST_F(ComposerTest, AttachmentPartFieldsComeInTheirOrder) {
  root_.AddAttachment(std::make_unique<StringByteSource>("abc"), "a.txt", "text/plain", "id1@x");
  ASSERT_EQ(root_.Parts().size(), 1u);
  EXPECT_EQ(root_.Parts()[0]->Kind(), PartKind::kBase64);
  EXPECT_EQ(root_.Parts()[0]->GetText(),
            "Content-Type: text/plain; name=\"a.txt\"\r\n"
            "Content-Disposition: attachment; filename=\"a.txt\"\r\n"
            "Content-Id: <id1@x>\r\n"
            "Content-Transfer-Encoding: base64\r\n"
            "\r\n"
            "YWJj\r\n");
}

TEST_F(ComposerTest, AttachmentWithoutTypeOrIdIsOctetStreamWithoutContentId) {
  root_.AddAttachment(std::make_unique<StringByteSource>(""), "n", "", "");
  EXPECT_EQ(root_.Parts()[0]->GetText(),
            "Content-Type: application/octet-stream; name=\"n\"\r\n"
            "Content-Disposition: attachment; filename=\"n\"\r\n"
            "Content-Transfer-Encoding: base64\r\n"
            "\r\n"
            "\r\n");
}

TEST_F(ComposerTest, LineBreaksAndNulInAttachmentTextsBecomeBlanks) {
  root_.AddAttachment(std::make_unique<StringByteSource>("x"), std::string_view("a\r\nb\0c", 6),
                      "text/plain\r\nX-Evil: 1", "i\nd");
  const HeaderLines& lines = root_.Parts()[0]->Header().Lines();
  EXPECT_EQ(lines[0], "Content-Type: text/plain  X-Evil: 1; name=\"a  b c\"");
  EXPECT_EQ(lines[1], "Content-Disposition: attachment; filename=\"a  b c\"");
  EXPECT_EQ(lines[2], "Content-Id: <i d>");
}

TEST_F(ComposerTest, MessagePartWrapsTheChildWithoutDelimiters) {
  auto child = std::make_unique<TMIMEConstructor>();
  child->Header().SetField("Subject", "in", "*");
  child->SetBody("body", "", false);
  root_.AddMessagePart(std::move(child));
  ASSERT_EQ(root_.Parts().size(), 1u);
  EXPECT_EQ(root_.Parts()[0]->Kind(), PartKind::kNone);
  EXPECT_EQ(root_.GetText(),
            "\r\n"
            "Content-Type: message/rfc822\r\n"
            "\r\n"
            "Subject: in\r\n"
            "Content-Type: text/plain; charset=us-ascii\r\n"
            "Content-Transfer-Encoding: 7bit\r\n"
            "\r\n"
            "body\r\n");
}

TEST_F(ComposerTest, DelimiterStartsALineAfterTextThatDoesNotEndOne) {
  root_.SetBody("", "", true);
  auto raw = std::make_unique<TMIMEConstructor>();
  raw->SetTextBody("tail");
  root_.AddPart(std::move(raw));
  EXPECT_EQ(root_.GetText(),
            "Content-Type: multipart/mixed; boundary=\"Next_Part_1000\"\r\n"
            "\r\n"
            "--Next_Part_1000\r\n"
            "Content-Type: text/plain; charset=us-ascii\r\n"
            "Content-Transfer-Encoding: 7bit\r\n"
            "\r\n"
            "--Next_Part_1000\r\n"
            "\r\n"
            "tail\r\n"
            "--Next_Part_1000--\r\n");
}

// Hands out its bytes, then fails as a broken stream does.
class BreakingSource final : public ByteSource {
 public:
  explicit BreakingSource(std::string bytes) : bytes_(std::move(bytes)), view_(bytes_) {}
  std::size_t Read(char* buffer, std::size_t size) override { return view_.Read(buffer, size); }
  std::int32_t Status() const override { return -7; }

 private:
  std::string bytes_;
  StringByteSource view_;
};

// Records every piece, to show the text is never handed over whole.
class PieceSink final : public TextSink {
 public:
  void Write(std::string_view piece) override {
    text += piece;
    largest = std::max(largest, piece.size());
  }
  std::string text;
  std::size_t largest = 0;
};

TEST_F(ComposerTest, WriteToBeginsWithTheHeaderTextAndStreamsAttachmentsInPieces) {
  root_.SetBody("p", "<p>h</p>", true);
  const std::string bytes(300000, 'z');
  root_.AddAttachment(std::make_unique<StringByteSource>(bytes), "z.bin", "application/x-z", "");
  PieceSink sink;
  EXPECT_EQ(root_.WriteTo(sink), 0);
  EXPECT_TRUE(sink.text.starts_with(root_.HeaderText()));
  EXPECT_TRUE(root_.HeaderText().ends_with("\"\r\n\r\n"));
  EXPECT_LT(sink.largest, bytes.size()) << "the encoded attachment went as one piece";
  mime::TMimeMessage parsed;
  parsed.SetText(sink.text);
  std::string decoded;
  mime::DecodeBase64Lines(parsed.SubParts().Item(1).Body().Lines(), decoded);
  EXPECT_EQ(decoded, bytes);
}

TEST_F(ComposerTest, ASourceThatBreaksOffEndsTheTextWithItsStatus) {
  root_.SetBody("p", "", true);
  root_.AddAttachment(std::make_unique<BreakingSource>("abc"), "a", "text/plain", "");
  root_.AddAttachment(std::make_unique<StringByteSource>("def"), "b", "text/plain", "");
  PieceSink sink;
  EXPECT_EQ(root_.WriteTo(sink), -7);
  EXPECT_NE(sink.text.find("YWJj\r\n"), std::string::npos);
  EXPECT_EQ(sink.text.find("name=\"b\""), std::string::npos);
}

// Non-ASCII names go as RFC 2231 sections that fold between them and never split a character;
// the message model reads the name back whole.
TEST_F(ComposerTest, NonAsciiAttachmentNamesAreExtendedParametersInWholeCharacters) {
  root_.SetMultipart("multipart/mixed");
  std::string name;
  for (int i = 0; i < 30; ++i) name += "\xE2\x82\xAC";  // euro signs, three bytes each
  name += " tab\there.txt";
  root_.AddAttachment(std::make_unique<StringByteSource>("x"), name, "text/plain", "");
  const TMIMEHeader& part = root_.Parts()[0]->Header();
  const std::string disposition = part.GetField("Content-Disposition", "*");
  std::size_t sections = 0;
  for (std::size_t at = disposition.find("filename*"); at != std::string::npos;
       at = disposition.find("filename*", at + 1)) {
    ++sections;
    const std::size_t end = std::min(disposition.find(';', at), disposition.size());
    const std::string section = disposition.substr(at, end - at);
    std::string bytes;  // the section's value, percent-decoded
    for (std::size_t k = section.find('=') + 1; k < section.size(); ++k) {
      bytes += section[k] == '%'
                   ? static_cast<char>(std::stoi(section.substr(k + 1, 2), nullptr, 16))
                   : section[k];
      if (section[k] == '%') k += 2;
    }
    for (std::size_t k = 0; k < bytes.size(); ++k) {
      if (bytes[k] != '\xE2') continue;
      EXPECT_EQ(bytes.substr(k, 3), "\xE2\x82\xAC") << section;
    }
    EXPECT_NE(static_cast<unsigned char>(bytes[0]) & 0xC0, 0x80u) << section;
  }
  EXPECT_GT(sections, 1u) << disposition;
  for (const std::string field : {"Content-Type", "Content-Disposition"}) {
    mime::TMimeMessage parsed;
    parsed.SetText(field + ": " + part.GetField(field, "*") + "\r\n\r\n");
    EXPECT_EQ(field == "Content-Type" ? parsed.Header().ContentType().ParamValueByName("name")
                                      : parsed.Header().ContentDisposition().Filename(),
              name);
  }
}

// A name too long for one header line, without white space to fold at, goes in sections too.
TEST_F(ComposerTest, OverlongAsciiAttachmentNameIsSplitIntoSections) {
  root_.SetMultipart("multipart/mixed");
  const std::string name = std::string(1500, 'n') + ".txt";
  root_.AddAttachment(std::make_unique<StringByteSource>("x"), name, "text/plain", "");
  std::istringstream lines(root_.GetText());
  for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 999u);  // CR included
  mime::TMimeMessage parsed;
  parsed.SetText("Content-Disposition: " +
                 root_.Parts()[0]->Header().GetField("Content-Disposition", "*") + "\r\n\r\n");
  EXPECT_EQ(parsed.Header().ContentDisposition().Filename(), name);
}

}  // namespace
}  // namespace compose
