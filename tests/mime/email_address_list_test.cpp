// Address lists: splitting, the folded list text, display forms and entry changes.
#include <gtest/gtest.h>

#include "mime/email_address_list.h"
#include "support/diag/error.h"

namespace mime {
namespace {

TEST(AddressList, TwoEntriesAndTheirDisplayList) {
  TMimeEmailAddressList list;
  list.SetText("\"Ann\" <ann@x>, bob@x");
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.DisplayList(), "Ann, bob@x");
  EXPECT_EQ(list.EmailList(), "ann@x, bob@x");
  EXPECT_TRUE(list.Contains("ANN@X"));
}

TEST(AddressList, QuotedAndEscapedSeparatorsDoNotSplit) {
  TMimeEmailAddressList list;
  list.SetText("\"Smith, Ann\" <a@x>; Jones\\, Bob <b@x>");
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Get(0).DisplayName(), "Smith, Ann");
  EXPECT_EQ(list.Get(1).DisplayName(), "Jones, Bob");
}

TEST(AddressList, LeadingSeparatorKeepsOnlyTheFirstFollowingEntry) {
  TMimeEmailAddressList list;
  list.SetText(",a@x, b@x");
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Get(0).Email(), "a@x");
  list.SetText("a@x,,b@x,c@x");
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.EmailList(), "a@x, b@x");
}

TEST(AddressList, EmptyGroupGivesOneEntryWithoutEmail) {
  TMimeEmailAddressList list;
  list.SetText("undisclosed-recipients:;");
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Get(0).DisplayName(), "undisclosed-recipients");
  EXPECT_FALSE(list.Get(0).Present());
}

TEST(AddressList, NamedEmptyGroupsAmongAddressesAreEntriesOfTheirName) {
  TMimeEmailAddressList list;
  list.SetText("\"Ann\" <a@x>,\r\n        \"Smith, Dan\":;,\r\n        \"Cy\" <c@x>");
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.DisplayList(), "Ann, Smith, Dan, Cy");
}

TEST(AddressList, BlankItemsAreSkipped) {
  TMimeEmailAddressList list;
  list.SetText("a@x,   , b@x");
  EXPECT_EQ(list.Count(), 2);
  list.SetText("");
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.DisplayList(), "");
}

TEST(AddressList, TextIsFoldedAfterSixtyFourColumns) {
  TMimeEmailAddressList list;
  std::string a(24, 'a'), b(24, 'b'), c(24, 'c');
  list.SetText("x@x");
  list.ClearAll();
  for (const std::string& user : {a, b, c}) {
    std::string email = user + "@exam.pl";  // 32 characters each
    list.Append(&email);
  }
  EXPECT_EQ(list.GetText(), a + "@exam.pl, " + b + "@exam.pl,\r\n        " + c + "@exam.pl");
}

TEST(AddressList, EntryChangeMarksTextStaleAndNotifies) {
  TMimeEmailAddressList list;
  list.SetText("a@x, b@x");
  int notified = 0;
  list.SetChangeHandler([&](TMimeHeaderItem&) { ++notified; });
  list.Get(1).SetDisplayName("Bee");
  EXPECT_EQ(notified, 1);
  EXPECT_EQ(list.GetText(), "a@x, Bee <b@x>");
  list.Delete(0);
  EXPECT_EQ(notified, 2);
  EXPECT_EQ(list.GetText(), "Bee <b@x>");
}

TEST(AddressList, OutOfRangeIndexRaises) {
  TMimeEmailAddressList list;
  list.SetText("a@x");
  EXPECT_THROW(list.Get(1), diag::EPlError);
  EXPECT_THROW(list.Get(-1), diag::EPlError);
  EXPECT_THROW(list.Delete(5), diag::EPlError);
}

TEST(AddressList, UnicodeDisplayListJoinsDecodedNames) {
  TMimeEmailAddressList list;
  list.SetText("=?utf-8?Q?Ren=C3=A9?= <r@x>, b@x");
  EXPECT_EQ(list.DisplayListUtf(), "Ren\xC3\xA9, b@x");
  EXPECT_EQ(list.DisplayListUnicode(), u"Ren\u00e9, b@x");
}

}  // namespace
}  // namespace mime
