// Parsing message text into the part tree: headers, multiparts, embedded messages, delimiters.
#include <gtest/gtest.h>

#include <sstream>

#include "mime/index_summary.h"
#include "mime/mime_message.h"

namespace mime {
namespace {

std::string Join(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) (text += line) += "\r\n";
  return text;
}

TEST(MessageParse, DriverEnvelopeLinesStayInTheTopLevelHeader) {
  std::istringstream stream(
      "FROM: \r\nRCPT: mailbox\r\nFrom: \"Ann Smith\" <ann@x>\r\nTo: b@x\r\nSubject: "
      "Hi\r\n\r\nbody\r\n");
  TMimeMessage message;
  message.LoadFromStream(stream);
  ASSERT_EQ(message.Header().Count(), 5);
  EXPECT_EQ(message.Header().Lines()[0], "FROM: ");
  EXPECT_EQ(message.Header().Lines()[1], "RCPT: mailbox");
  EXPECT_EQ(message.Header().FromAddress().DisplayText(), "Ann Smith");
  EXPECT_EQ(message.Header().ToList().DisplayList(), "b@x");
  EXPECT_EQ(message.Header().Subject(), "Hi");
  EXPECT_EQ(message.Envelope().Sender(), "");
  EXPECT_EQ(message.Envelope().Recipients().Count(), 0);
  EXPECT_EQ(message.Body().Lines(), mime::LineList{"body"});
}

TEST(MessageParse, WithoutEmptyLineTheHeaderStaysEmptyAndLinesAreDropped) {
  TMimeMessage message;
  message.SetText("Subject: x\r\nno blank line\r\n");
  EXPECT_EQ(message.Header().Count(), 0);
  EXPECT_TRUE(message.Body().Lines().empty());
  EXPECT_EQ(message.SubParts().Count(), 0);
}

const std::string kMultipart = Join({
    "Content-Type: multipart/mixed; boundary=\"outer\"",
    "",
    "preamble",
    "--outer",
    "Content-Type: text/plain",
    "",
    "first",
    "--outer",
    "Content-Type: multipart/alternative; boundary=inner",
    "",
    "--inner",
    "Content-Type: text/plain",
    "",
    "plain",
    "--inner",
    "Content-Type: text/html",
    "",
    "<b>html</b>",
    "--inner--",
    "",
    "--outer",
    "Content-Type: message/rfc822",
    "",
    "Subject: inner message",
    "",
    "inner body",
    "--outer--",
    "epilogue",
});

TEST(MessageParse, BuildsThePartTree) {
  TMimeMessage message;
  message.SetText(kMultipart);
  EXPECT_EQ(message.Body().Lines(), mime::LineList{"preamble"});
  ASSERT_EQ(message.SubParts().Count(), 3);
  TMimeMessage& first = message.SubParts().Item(0);
  EXPECT_EQ(first.Body().Lines(), mime::LineList{"first"});
  EXPECT_EQ(first.Parent(), &message);
  TMimeMessage& alternative = message.SubParts().Item(1);
  ASSERT_EQ(alternative.SubParts().Count(),
            2);  // no empty piece for the blank line after --inner--
  EXPECT_EQ(alternative.SubParts().Item(1).Body().Lines(), mime::LineList{"<b>html</b>"});
  TMimeMessage& embedded = message.SubParts().Item(2);
  EXPECT_TRUE(embedded.Body().Lines().empty());
  ASSERT_EQ(embedded.SubParts().Count(), 1);
  EXPECT_EQ(embedded.SubParts().Item(0).Header().Subject(), "inner message");
  EXPECT_EQ(embedded.SubParts().Item(0).Body().Lines(), mime::LineList{"inner body"});
}

TEST(MessageParse, ClosingDelimiterFirstGivesNoParts) {
  TMimeMessage message;
  message.SetText(Join({"Content-Type: multipart/mixed; boundary=b", "", "pre", "--b--", "after"}));
  EXPECT_EQ(message.SubParts().Count(), 0);
  EXPECT_EQ(message.Body().Lines(), mime::LineList{"pre"});
}

TEST(MessageParse, DelimitersMatchByCaseSensitivePrefix) {
  TMimeMessage message;
  message.SetText(Join({"Content-Type: multipart/mixed; boundary=b", "", "--b", "X: 1", "", "one",
                        "--B", "--b trailing text", "X: 2", "", "two", "--b--"}));
  ASSERT_EQ(message.SubParts().Count(), 2);
  EXPECT_EQ(message.SubParts().Item(0).Body().Lines(), (mime::LineList{"one", "--B"}));
  EXPECT_EQ(message.SubParts().Item(1).Body().Lines(), mime::LineList{"two"});
}

TEST(MessageParse, MissingClosingDelimiterRunsToTheEnd) {
  TMimeMessage message;
  message.SetText(
      Join({"Content-Type: multipart/mixed; boundary=b", "", "--b", "X: 1", "", "one", "two"}));
  ASSERT_EQ(message.SubParts().Count(), 1);
  EXPECT_EQ(message.SubParts().Item(0).Body().Lines(), (mime::LineList{"one", "two"}));
}

TEST(MessageParse, CapitalisedMultipartTypeIsNotSplit) {
  TMimeMessage message;
  message.SetText(
      Join({"Content-Type: Multipart/Mixed; boundary=b", "", "--b", "X: 1", "", "one", "--b--"}));
  EXPECT_EQ(message.SubParts().Count(), 0);
  EXPECT_EQ(message.Body().Lines().size(), 5u);
}

// count levels of multipart/mixed, each holding the next, the innermost a text part.
std::string Nested(int count) {
  std::string text;
  for (int i = 0; i < count; ++i)
    text += "Content-Type: multipart/mixed; boundary=b" + std::to_string(i) + "\r\n\r\n--b" +
            std::to_string(i) + "\r\n";
  text += "Content-Type: text/plain\r\n\r\ndeep\r\n";
  for (int i = count - 1; i >= 0; --i) text += "--b" + std::to_string(i) + "--\r\n";
  return text;
}

TEST(MessageParse, HundredNestedLevelsAreParsed) {
  TMimeMessage message;
  message.SetText(Nested(100));
  const TMimeMessage* part = &message;
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(part->SubParts().Count(), 1) << "level " << i;
    part = &part->SubParts().Item(0);
  }
  EXPECT_EQ(part->Body().Lines(), mime::LineList{"deep"});
}

TEST(MessageParse, DeeperNestingStaysAsBodyLines) {
  TMimeMessage message;
  message.SetText(Nested(20000));
  int depth = 0;
  const TMimeMessage* part = &message;
  while (part->SubParts().Count() > 0) {
    part = &part->SubParts().Item(0);
    ++depth;
  }
  EXPECT_EQ(depth, TMimeMessage::kMaxNesting);
  EXPECT_GT(part->Body().Lines().size(), 1000u);
  EXPECT_FALSE(message.GetText().empty());
}

TEST(MessageParse, HeaderOnlyLoadReadsTheSameFields) {
  TMimeMessage full, header_only;
  full.SetText(kMultipart + "From: x\r\n");
  header_only.LoadHeader(kMultipart);
  EXPECT_EQ(header_only.Header().GetText(), full.Header().GetText());
  EXPECT_TRUE(header_only.Body().Lines().empty());
  EXPECT_EQ(header_only.SubParts().Count(), 0);
}

TEST(IndexSummary, EqualsTheFullParseForAssortedMessages) {
  const std::string messages[] = {
      "FROM: \r\nRCPT: mailbox\r\nFrom: \"Ann\" <a@x>\r\nTo: b@x, \"C, D\" <c@x>\r\nSubject: "
      "=?utf-8?Q?h=C3=A9?=\r\n\r\nbody",
      "FROM: \r\nRCPT: mailbox\r\nFrom: a@x\r\n",  // no empty line: everything empty
      "To: a@x\r\n b@x\r\nsubject: one\r\nSubject: two\r\n\r\n",
      "From: Ann (ann)\r\nTo: ,x@y, z@y\r\n\r\nSubject: in body\r\n",
      std::string("Subject: a\0b\r\n\r\n", 15),
      "",
      kMultipart,
  };
  for (const std::string& text : messages) {
    TMimeMessage message;
    message.SetText(text);
    TMimeIndexSummary summary = ReadIndexSummary(text);
    EXPECT_EQ(summary.From, message.Header().FromAddress().DisplayText()) << text;
    EXPECT_EQ(summary.To, message.Header().ToList().DisplayList()) << text;
    EXPECT_EQ(summary.Subject, message.Header().Subject()) << text;
  }
  TMimeIndexSummary first = ReadIndexSummary(messages[0]);
  EXPECT_EQ(first.From, "Ann");
  EXPECT_EQ(first.To, "b@x, C, D");
  EXPECT_EQ(first.Subject, "h\xC3\xA9");
}

}  // namespace
}  // namespace mime
