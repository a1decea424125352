// Top-level headers: synthesised from recipients, subject and submit time, or taken from the
// message's transport headers.
#include "compose/header_synthesis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "mime/encoded_words.h"
#include "tests/compose/mail_library_fixture.h"

namespace compose_test {
namespace {

// 1 March 2011 13:05:09 UTC.
constexpr unsigned long long kSubmitTime = 129434583090000000ull;

PropMap Recipient(ULONG type, std::optional<std::string> name, std::optional<std::string> address) {
  PropMap row;
  row[PR_RECIPIENT_TYPE] = type;
  if (name) row[PR_DISPLAY_NAME] = *name;
  if (address) row[PR_EMAIL_ADDRESS] = *address;
  return row;
}

class HeaderSynthesisTest : public MailLibraryTest {
 protected:
  HeaderSynthesisTest() { message_->props[PR_HASATTACH] = ULONG{0}; }
  std::shared_ptr<MessageData> message_ = std::make_shared<MessageData>();
};

TEST_F(HeaderSynthesisTest, RecipientsSubjectAndSubmitTimeMakeTheHeader) {
  clock_.offset_minutes = 60;
  clock_.offset_at_instant = 60;
  message_->recipients = {
      Recipient(MAPI_TO, "Ann", "ann@x.org"),     Recipient(MAPI_CC, "Cy \"C\" \\ D", "cy@x.org"),
      Recipient(MAPI_BCC, "Hidden", "bcc@x.org"), Recipient(MAPI_TO, std::nullopt, "bob@x.org"),
      Recipient(MAPI_TO, "Dee", std::nullopt),    Recipient(MAPI_CC, "Eve", "eve@x.org")};
  message_->recipients.push_back({{PR_DISPLAY_NAME, std::string("No type")}});
  message_->props[PR_SUBJECT] = std::string("Hello");
  message_->props[PR_CLIENT_SUBMIT_TIME] = kSubmitTime;
  message_->streams[PR_BODY] = Bytes("Body text\r\n");
  EXPECT_EQ(ComposedText(message_),
            "To: \"Ann\" <ann@x.org>,\r\n"
            "        \"\" <bob@x.org>,\r\n"
            "        \"Dee\":;\r\n"
            "CC: \"Cy \\\"C\\\" \\\\ D\" <cy@x.org>,\r\n"
            "        \"Eve\" <eve@x.org>\r\n"
            "Subject: Hello\r\n"
            "Date: Tue, 01 Mar 2011 14:05:09 +0100\r\n"
            "MIME-Version: 1.0\r\n"
            "Content-Type: text/plain; charset=us-ascii\r\n"
            "Content-Transfer-Encoding: 7bit\r\n"
            "\r\n"
            "Body text\r\n");
}

TEST_F(HeaderSynthesisTest, MessageWithoutRecipientsSubjectOrTimeGetsEmptyFieldsAndNow) {
  EXPECT_EQ(ComposedText(message_),
            "To: \r\n"
            "Subject: \r\n"
            "Date: Sat, 29 Feb 2020 23:59:58 -0000\r\n"
            "MIME-Version: 1.0\r\n"
            "Content-Type: text/plain; charset=us-ascii\r\n"
            "Content-Transfer-Encoding: 7bit\r\n"
            "\r\n");
}

TEST_F(HeaderSynthesisTest, UnreadableRecipientTableLeavesToEmptyAndNoCc) {
  message_->recipient_table_fails = true;
  message_->props[PR_SUBJECT] = std::string("s");
  compose::TMIMEConstructor root;
  Compose(message_, root);
  EXPECT_EQ(root.Header().Lines()[0], "To: ");
  EXPECT_EQ(root.Header().GetField("CC", "*"), "");
  EXPECT_EQ(root.Header().GetField("Subject", "*"), "s");
}

TEST_F(HeaderSynthesisTest, LineBreaksInDataBecomeBlanks) {
  message_->recipients = {Recipient(MAPI_TO, "A\r\nBcc: x", "a@b\n")};
  message_->props[PR_SUBJECT] = std::string("one\r\nX-Injected: yes");
  compose::TMIMEConstructor root;
  Compose(message_, root);
  EXPECT_EQ(root.Header().Lines()[0], "To: \"A  Bcc: x\" <a@b>");
  EXPECT_EQ(root.Header().Lines()[1], "Subject: one  X-Injected: yes");
}

TEST_F(HeaderSynthesisTest, SubmitTimeOutsideTheCalendarGivesNow) {
  message_->props[PR_CLIENT_SUBMIT_TIME] = 0x7FFFFFFFFFFFFFFFull;
  compose::TMIMEConstructor root;
  Compose(message_, root);
  EXPECT_EQ(root.Header().GetField("Date", "*"), "Sat, 29 Feb 2020 23:59:58 -0000");
}

TEST_F(HeaderSynthesisTest, ManyRecipientsAreFoldedOnlyBetweenAddresses) {
  for (int i = 0; i < 6; ++i) {
    message_->recipients.push_back(
        Recipient(MAPI_TO, "Smith, Person Number " + std::to_string(i), "p@x.org"));
  }
  compose::TMIMEConstructor root;
  Compose(message_, root);
  const std::string to = root.Header().Lines()[0];
  // Every physical line holds whole quoted names: a fold never splits "Smith, Person".
  std::size_t start = 0;
  for (std::size_t end; (end = to.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string line = to.substr(start, end - start);
    EXPECT_EQ(std::count(line.begin(), line.end(), '"') % 2, 0) << line;
  }
  EXPECT_EQ(root.Header().GetField("To", "*").find("Smith,\r\n"), std::string::npos);
}

TEST_F(HeaderSynthesisTest, FromIsTheSentRepresentingOriginatorElseTheSender) {
  struct Case {
    PropMap props;
    std::string from;  // empty: no From field
  };
  const std::vector<Case> cases = {
      {{{PR_SENT_REPRESENTING_NAME, std::string("Boss \"B\"")},
        {PR_SENT_REPRESENTING_SMTP_ADDRESS, std::string("boss@x.org")},
        {PR_SENDER_NAME, std::string("Assistant")},
        {PR_SENDER_EMAIL_ADDRESS, std::string("assistant@x.org")}},
       "\"Boss \\\"B\\\"\" <boss@x.org>"},
      {{{PR_SENT_REPRESENTING_NAME, std::string("Ann")},
        {PR_SENT_REPRESENTING_ADDRTYPE, std::string("SMTP")},
        {PR_SENT_REPRESENTING_EMAIL_ADDRESS, std::string("ann@x.org")}},
       "\"Ann\" <ann@x.org>"},
      {{{PR_SENT_REPRESENTING_NAME, std::string("Ex User")},
        {PR_SENT_REPRESENTING_ADDRTYPE, std::string("EX")},
        {PR_SENT_REPRESENTING_EMAIL_ADDRESS, std::string("/O=ORG/OU=SITE/CN=RECIPIENTS/CN=EXU")}},
       "\"Ex User\":;"},
      {{{PR_SENDER_NAME, std::string("Sender Only")},
        {PR_SENDER_ADDRTYPE, std::string("EX")},
        {PR_SENDER_EMAIL_ADDRESS, std::string("/O=ORG/CN=S")},
        {PR_SENDER_SMTP_ADDRESS, std::string("s@x.org")}},
       "\"Sender Only\" <s@x.org>"},
      {{}, ""},
  };
  for (const Case& c : cases) {
    auto message = std::make_shared<MessageData>();
    message->props = c.props;
    message->props[PR_HASATTACH] = ULONG{0};
    compose::TMIMEConstructor root;
    Compose(message, root);
    EXPECT_EQ(root.Header().GetField("From", "*"), c.from);
    if (!c.from.empty()) {
      EXPECT_EQ(root.Header().Lines()[0].rfind("From: ", 0), 0u);
    }
  }
}

TEST_F(HeaderSynthesisTest, ExchangeRecipientsAreWrittenWithTheirSmtpAddress) {
  PropMap with_smtp = Recipient(MAPI_TO, "Cy", "/O=ORG/OU=SITE/CN=RECIPIENTS/CN=CY");
  with_smtp[PR_ADDRTYPE] = std::string("EX");
  with_smtp[PR_SMTP_ADDRESS] = std::string("cy@x.org");
  PropMap without_smtp = Recipient(MAPI_TO, "Dan", "/O=ORG/OU=SITE/CN=RECIPIENTS/CN=DAN");
  without_smtp[PR_ADDRTYPE] = std::string("EX");
  PropMap nameless = Recipient(MAPI_CC, std::nullopt, "/O=ORG/CN=NONAME");
  nameless[PR_ADDRTYPE] = std::string("EX");
  message_->recipients = {with_smtp, without_smtp, nameless};
  compose::TMIMEConstructor root;
  Compose(message_, root);
  EXPECT_EQ(root.Header().GetField("To", "*"), "\"Cy\" <cy@x.org>,\r\n        \"Dan\":;");
  EXPECT_EQ(root.Header().GetField("CC", "*"), "\"/O=ORG/CN=NONAME\":;");
}

// The time and the zone written name the stored instant, in and out of daylight-saving time,
// whatever the offset in force at the time of the export.
TEST_F(HeaderSynthesisTest, DateNamesTheSubmitInstantInEveryZone) {
  struct Case {
    ZoneClock zone;
    std::string summer, winter;
  };
  std::vector<Case> cases = {
      {Utc2021(), "Tue, 27 Apr 2021 18:34:06 -0000", "Fri, 15 Jan 2021 12:00:00 -0000"},
      {Berlin2021(), "Tue, 27 Apr 2021 20:34:06 +0200", "Fri, 15 Jan 2021 13:00:00 +0100"},
      {NewYork2021(), "Tue, 27 Apr 2021 14:34:06 -0400", "Fri, 15 Jan 2021 07:00:00 -0500"},
  };
  for (Case& c : cases) {
    os::ScopedClock scoped(c.zone);
    for (const auto& [ticks, expected] :
         {std::pair{132640220460000000ull, c.summer}, std::pair{132551856000000000ull, c.winter}}) {
      message_->props[PR_CLIENT_SUBMIT_TIME] = ticks;
      compose::TMIMEConstructor root;
      Compose(message_, root);
      EXPECT_EQ(root.Header().GetField("Date", "*"), expected);
    }
  }
}

TEST_F(HeaderSynthesisTest, SubjectWithAWordTooLongForALineIsWrittenAsEncodedWords) {
  const std::string subject = "Ref: " + std::string(1200, 'x') + "\xc3\xa9 end";
  message_->props[PR_SUBJECT] = subject;
  compose::TMIMEConstructor root;
  Compose(message_, root);
  const std::string field = root.Header().Lines()[1];
  ASSERT_EQ(field.rfind("Subject: =?utf-8?Q?", 0), 0u) << field.substr(0, 40);
  std::size_t start = 0;
  for (std::size_t end; start < field.size(); start = end + 2) {
    end = std::min(field.find("\r\n", start), field.size());
    EXPECT_LE(end - start, 998u);
  }
  EXPECT_EQ(mime::DecodeHeaderText(root.Header().GetField("Subject", "*")), subject);
}

// New fields go behind the last "X-" field, each in turn, so the encoding lands before the type.
TEST_F(HeaderSynthesisTest, TransportHeadersAreTakenUpToTheirFirstEmptyLine) {
  message_->recipients = {Recipient(MAPI_TO, "Ann", "ann@x.org")};
  message_->props[PR_SUBJECT] = std::string("Not used");
  const char headers[] =
      "\r\nReceived: a\r\n\tb\rSubject: T\nX-Y: z\r\nX-N: a\0b\0\r\n\r\nContent-Type: "
      "text/html\r\nX-Late: 1\r\n";
  message_->streams[PR_TRANSPORT_MESSAGE_HEADERS] = Bytes(std::string(headers, sizeof headers - 1));
  message_->streams[PR_BODY] = Bytes("hi");
  EXPECT_EQ(ComposedText(message_),
            "Received: a\r\n"
            "\tb\r\n"
            "Subject: T\r\n"
            "X-Y: z\r\n"
            "X-N: a b \r\n"
            "Content-Transfer-Encoding: 7bit\r\n"
            "Content-Type: text/plain; charset=us-ascii\r\n"
            "\r\n"
            "hi\r\n");
}

TEST_F(HeaderSynthesisTest, BlankTransportHeadersAreNoHeaders) {
  message_->streams[PR_TRANSPORT_MESSAGE_HEADERS] = Bytes(" \r\n\r\n");
  compose::TMIMEConstructor root;
  Compose(message_, root);
  EXPECT_EQ(root.Header().GetField("MIME-Version", "*"), "1.0");
}

// An 8-bit name cannot stand in a quoted string: it is a phrase of encoded words that decodes to
// the name, with every character a phrase forbids encoded.
TEST(AppendAddressTest, NameWithEightBitTextIsWrittenAsEncodedWords) {
  const std::string name = "M\xC3\xBCller, \"Jo\" (Sales) <x> @ a.b; c:d=e?f_g";
  std::string list;
  compose::AppendAddress(name, "jo@x.org", list);
  const std::size_t angle = list.rfind(" <jo@x.org>");
  ASSERT_NE(angle, std::string::npos) << list;
  const std::string phrase = list.substr(0, angle);
  EXPECT_EQ(mime::DecodeHeaderText(phrase), name);
  for (std::size_t start = 0, end; start < phrase.size(); start = end + 1) {
    end = std::min(phrase.find(' ', start), phrase.size());
    const std::string word = phrase.substr(start, end - start);
    ASSERT_EQ(word.rfind("=?utf-8?Q?", 0), 0u) << word;
    const std::string text = word.substr(10, word.size() - 12);
    EXPECT_EQ(text.find_first_not_of(
                  "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789!*+-/=_"),
              std::string::npos)
        << word;
  }
}

TEST(AppendAddressTest, EscapesBackslashesBeforeQuotes) {
  std::string list;
  compose::AppendAddress("a\\\"b", "x@y", list);
  EXPECT_EQ(list, "\"a\\\\\\\"b\" <x@y>");
  compose::AppendAddress("", "", list);
  EXPECT_EQ(list, "\"a\\\\\\\"b\" <x@y>,\r\n        \"\":;");
}

}  // namespace
}  // namespace compose_test
