// Address parse and the display forms of one address.
#include <gtest/gtest.h>

#include "mime/email_address.h"

namespace mime {
namespace {

struct Parsed {
  std::string display;
  std::string email;
};

Parsed Parse(const std::string& text, int entry = 0) {
  Parsed p;
  mime::ParseAddress(text, entry, p.display, p.email);
  return p;
}

TEST(AddressParse, Forms) {
  const struct {
    const char* text;
    const char* display;
    const char* email;
  } cases[] = {
      {"\"Ann Smith\" <ann@example.com>", "Ann Smith", "ann@example.com"},
      {"Ann Smith <ann@example.com>", "Ann Smith", "ann@example.com"},
      {"ann@example.com", "", "ann@example.com"},
      {"<ann@example.com>", "", "ann@example.com"},
      {"Ann (ann)", "Ann", "ann"},
      {"ann@example.com (Ann)", "ann@example.com", "Ann"},  // the parenthesised word wins
      {"Ann ann@example.com Smith", "Ann Smith", "ann@example.com"},
      {"Just A Name", "Just A Name", ""},
      {"\"Smith\\, Ann\" <a@x>", "Smith\\, Ann", "a@x"},  // quoted runs keep backslashes
      {"Smith\\, Ann <a@x>", "Smith, Ann", "a@x"},        // an escaped separator does not split
      {"\"unterminated <a@x>", "unterminated", "<a@x>"},  // the quote runs to the end
      {"Ann <unterminated", "Ann", "unterminated"},
      {"Grp: Ann <a@x>", "Grp Ann", "a@x"},  // a group's colon is dropped
      {"A\\\\<b@x>", "", "A\\<b@x"},         // an escaped bracket is text, not the address
      {"", "", ""},
  };
  for (const auto& c : cases) {
    Parsed p = Parse(c.text);
    EXPECT_EQ(p.display, c.display) << c.text;
    EXPECT_EQ(p.email, c.email) << c.text;
  }
}

TEST(AddressParse, ReadsTheWantedEntryOfAList) {
  Parsed second = Parse("A <a@x>, B <b@x>; C <c@x>", 1);
  EXPECT_EQ(second.display, "B");
  EXPECT_EQ(second.email, "b@x");
  EXPECT_EQ(Parse("A <a@x>, B <b@x>; C <c@x>", 2).email, "c@x");
}

TEST(EmailAddress, DisplayTextFallsBackToTheEmail) {
  TMimeEmailAddress a;
  a.SetText("ann@example.com");
  EXPECT_EQ(a.DisplayName(), "");
  EXPECT_EQ(a.DisplayText(), "ann@example.com");
  EXPECT_TRUE(a.Present());
  a.SetText("\"Ann\" <ann@example.com>");
  EXPECT_EQ(a.DisplayText(), "Ann");
}

TEST(EmailAddress, EncodedDisplayNameStaysEncodedUntilAskedForUtf) {
  TMimeEmailAddress a;
  a.SetText("=?utf-8?Q?Ren=C3=A9?= <rene@example.com>");
  EXPECT_EQ(a.DisplayText(), "=?utf-8?Q?Ren=C3=A9?=");
  EXPECT_EQ(a.DisplayTextUtf(), "Ren\xC3\xA9");
  EXPECT_EQ(a.DisplayNameHtml(), "Ren&#233;");
  EXPECT_EQ(a.DisplayTextHtml(), "Ren&#233;");
  EXPECT_EQ(a.DisplayNameUnicode(), u"Ren\u00e9");
}

TEST(EmailAddress, PartsOfTheEmail) {
  TMimeEmailAddress a;
  a.SetText("<ann+lists@example.com>");
  EXPECT_EQ(a.Mailbox(), "ann");
  EXPECT_EQ(a.UserPart(), "ann+lists");
  EXPECT_EQ(a.Domain(), "example.com");
  a.SetText("Undisclosed recipients");
  EXPECT_FALSE(a.Present());
  EXPECT_EQ(a.DisplayText(), "Undisclosed recipients");
  EXPECT_EQ(a.Domain(), "");
}

TEST(EmailAddress, SettersRebuildTheTextAndNotify) {
  TMimeEmailAddress a;
  int notified = 0;
  a.SetChangeHandler([&](TMimeHeaderItem&) { ++notified; });
  a.SetEmail("b@x");
  EXPECT_EQ(a.GetText(), "b@x");
  a.SetDisplayName("Bob");
  EXPECT_EQ(a.GetText(), "Bob <b@x>");
  a.SetDisplayNameUtf(
      "B\xC3\xB6"
      "b");
  EXPECT_EQ(a.GetText(), "=?utf-8?Q?B=C3=B6b?= <b@x>");
  a.SetDisplayNameUnicode(u"Tab\there");
  EXPECT_EQ(a.DisplayName(), "=?utf-8?Q?Tab\there?=");
  a.SetDisplayNameUtf("Plain");
  EXPECT_EQ(a.DisplayName(), "Plain");
  EXPECT_EQ(notified, 5);
}

}  // namespace
}  // namespace mime
