// The header: lazy value objects and their write-back, identifiers, priority, subject and dates.
#include <gtest/gtest.h>

#include <stdexcept>

#include "mime/mime_header.h"
#include "mime/rfc822_date.h"
#include "platform/os/clock.h"

namespace mime {
namespace {

TEST(Header, SettingTextDropsCachedObjects) {
  TMimeHeader header;
  header.SetText("From: Ann <a@x>\r\n");
  EXPECT_EQ(header.FromAddress().DisplayText(), "Ann");
  header.SetText("From: Bob <b@x>\r\n");
  EXPECT_EQ(header.FromAddress().DisplayText(), "Bob");
}

TEST(Header, ValueObjectChangesAreWrittenBack) {
  TMimeHeader header;
  header.SetText("To: a@x\r\nSubject: s\r\n");
  header.ToList().Get(0).SetDisplayName("Ann");
  header.FromAddress().SetEmail("me@x");
  header.ContentType().SetText("text/plain");
  EXPECT_EQ(header.GetText(),
            "To: Ann <a@x>\r\nSubject: s\r\nFrom: me@x\r\nContent-Type: text/plain\r\n");
}

TEST(Header, RoutedWriteGoesThroughTheCachedObject) {
  TMimeHeader header;
  header.SetText("To: a@x\r\n");
  TMimeEmailAddressList& to = header.ToList();
  header.RoutedWrite("to", "b@x, c@x");
  EXPECT_EQ(to.Count(), 2);
  EXPECT_EQ(header.ReadField("To"), "b@x, c@x");
  // A derived address is no route: the write goes to the field, the derived object keeps its text.
  header.SetText("From: a@x\r\n");
  header.DerivedSenderAddress().SetEmail("d@x");  // written back as the Sender field
  header.RoutedWrite("sender", "s@x");
  EXPECT_EQ(header.ReadField("Sender"), "s@x");
  EXPECT_EQ(header.DerivedSenderAddress().Email(), "d@x");
  EXPECT_EQ(header.SenderAddress().Email(), "s@x");
}

TEST(Header, SetFieldEncodesAndGetFieldDecodes) {
  TMimeHeader header;
  header.SetField("X-Note", u"caf\u00e9");
  EXPECT_EQ(header.ReadField("X-Note"), "=?utf-8?Q?caf=C3=A9?=");
  EXPECT_EQ(header.GetField("x-note"), u"caf\u00e9");
  header.SetField("Content-Type", u"text/plain");
  EXPECT_EQ(header.MimeType(), "text/plain");
}

TEST(Header, SubjectDecodesAndEncodesEightBitText) {
  TMimeHeader header;
  header.SetText("Subject: =?iso-8859-1?Q?caf=E9?= ok\r\n");
  EXPECT_EQ(header.Subject(), "caf\xC3\xA9 ok");
  header.SetSubject("na\xC3\xAFve");
  EXPECT_EQ(header.ReadField("Subject"), "=?utf-8?Q?na=C3=AFve?=");
  header.SetSubject("plain");
  EXPECT_EQ(header.ReadField("Subject"), "plain");
}

TEST(Header, MessageIdIsStoredInAngleBrackets) {
  TMimeHeader header;
  header.SetMessageId("abc@host");
  EXPECT_EQ(header.ReadField("Message-Id"), "<abc@host>");
  EXPECT_EQ(header.MessageId(), "abc@host");
  header.SetMessageId("<x@y>");
  EXPECT_EQ(header.ReadField("Message-Id"), "<x@y>");
  header.SetContentId("img1");
  EXPECT_EQ(header.ContentId(), "<img1>");
}

TEST(Header, MessageIdHashIsTheMd5OfTheBracketedId) {
  TMimeHeader header;
  header.SetText("Message-ID: <abc>\r\n");
  // MD5 of "<abc>"
  EXPECT_EQ(header.MessageIdHash(), "D7FEFC0CF993DFC56E1E8AFB7C23834B");
  EXPECT_EQ(header.MessageIdHash().size(), 32u);
}

TEST(Header, PriorityFromTheLastFieldThatCarriesOne) {
  const struct {
    const char* text;
    int priority;
  } cases[] = {
      {"X-Priority: 1 (Highest)\r\n", 1},
      {"Importance: Low\r\n", 8},
      {"Subject: none\r\n", 5},
      {"X-Priority: 3\r\nX-MSMail-Priority: High\r\n", 1},
      {"X-Priority: 2\r\nImportance: Normal\r\n", 2},
      {"X-Priority: x\r\n", 5},
  };
  for (const auto& c : cases) {
    TMimeHeader header;
    header.SetText(c.text);
    EXPECT_EQ(header.Priority(), c.priority) << c.text;
  }
}

TEST(Header, ContentLengthDefaultsToZero) {
  TMimeHeader header;
  header.SetText("Content-Length: 1234\r\n");
  EXPECT_EQ(header.ContentLength(), 1234);
  header.SetText("Content-Length: 99999999999\r\n");
  EXPECT_EQ(header.ContentLength(), 0);
}

TEST(Header, DatesAndZones) {
  TMimeHeader header;
  header.SetText("Date: Tue, 05 Mar 2024 12:00:00 +0130\r\n");
  os::LocalTime t;
  t.year = 2024;
  t.month = 3;
  t.day = 5;
  t.hour = 12;
  EXPECT_DOUBLE_EQ(header.Date(), os::ToDateTime(t));
  EXPECT_EQ(header.Timezone(), 130);
  t.hour = 10;
  t.minute = 30;
  EXPECT_NEAR(header.DateUtc(), os::ToDateTime(t), 1e-9);
  header.SetText("Date: not a date\r\n");
  EXPECT_EQ(header.Date(), 0);
  EXPECT_EQ(header.DateUtc(), 0);
}

class FixedClock : public os::Clock {
 public:
  std::uint32_t TickCount() const override { return 0; }
  os::LocalTime Now() const override { return {}; }
  int UtcOffsetMinutes(std::int64_t) const override { return -330; }
  int CurrentUtcOffsetMinutes() const override { return -330; }
};

TEST(Header, DateWriteUsesTheLocalZone) {
  FixedClock clock;
  os::ScopedClock scoped(clock);
  TMimeHeader header;
  os::LocalTime t;
  t.year = 2024;
  t.month = 3;
  t.day = 5;
  header.SetDate(os::ToDateTime(t));
  EXPECT_EQ(header.ReadField("Date"), "Tue, 05 Mar 2024 00:00:00 -0530");
  // A date the field cannot hold raises and leaves the field as it was.
  EXPECT_THROW(header.SetDate(3e6), std::out_of_range);
  EXPECT_EQ(header.ReadField("Date"), "Tue, 05 Mar 2024 00:00:00 -0530");
}

TEST(Header, DerivedReplyToFallsBackAndWritesBack) {
  TMimeHeader header;
  header.SetText("From: Ann <a@x>\r\nReturn-Path: <bounce@x>\r\n");
  EXPECT_EQ(header.DerivedReplyToAddress().Email(), "a@x");
  header.DerivedReplyToAddress().SetEmail("r@x");
  EXPECT_EQ(header.ReadField("Reply-To"), "Ann <r@x>");
  EXPECT_EQ(header.ReplyToAddress().Email(), "r@x");  // re-read after the write-back
  TMimeHeader bare;
  bare.SetText("Return-Path: <bounce@x>\r\n");
  EXPECT_EQ(bare.DerivedSenderAddress().Email(), "bounce@x");
}

}  // namespace
}  // namespace mime
