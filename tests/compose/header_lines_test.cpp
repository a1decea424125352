// Header-line lists: reading fields and parameters, folding, replacing, inserting and deleting.
#include "compose/header_lines.h"

#include <gtest/gtest.h>

namespace compose {
namespace {

TEST(HeaderValueTest, JoinsEveryOccurrenceOfTheField) {
  HeaderLines lines = {"To: A", "Cc: x", "To: B"};
  EXPECT_EQ(GetHeaderValue("To", lines), "A, B");
}

TEST(HeaderValueTest, KeepsTheBlanksOfAContinuationAfterTheJoiningBlank) {
  HeaderLines lines = {"Subject: one", "  two"};
  EXPECT_EQ(GetHeaderValue("Subject", lines), "one   two");
}

TEST(HeaderValueTest, AnEntryWithoutColonContinuesTheField) {
  HeaderLines lines = {"Subject: one", "two", "X: y"};
  EXPECT_EQ(GetHeaderValue("Subject", lines), "one two");
}

TEST(HeaderValueTest, StopsAtTheBlankEntryThatEndsTheHeader) {
  HeaderLines lines = {"A: 1", " \t", "A: 2"};
  EXPECT_EQ(GetHeaderValue("A", lines), "1");
}

TEST(HeaderValueTest, NameMatchesWithoutCaseOnlyWhenTheColonFollows) {
  HeaderLines lines = {"to : x", "TO:y", "Tox: z"};
  EXPECT_EQ(GetHeaderValue("To", lines), "y");
}

TEST(HeaderValueTest, ASecondOccurrenceOnTheLastEntryIsRead) {
  HeaderLines lines = {"To: A", "To: B"};
  EXPECT_EQ(GetHeaderValue("To", lines), "A, B");
}

TEST(HeaderParamTest, QuotedBoundaryWithSemicolonComesBackWhole) {
  const std::string value = "multipart/mixed; boundary=\"a;b c\"";
  EXPECT_EQ(GetHeaderParam(value, "boundary"), "a;b c");
  EXPECT_EQ(GetHeaderParam(value, "BOUNDARY"), "a;b c");
  EXPECT_EQ(GetHeaderParam(value, ""), "multipart/mixed");
  EXPECT_EQ(GetHeaderParam(value, "charset"), "");
}

TEST(HeaderParamTest, MainValueEndsAtCommaAndIsEmptyWhenAParameterComesFirst) {
  EXPECT_EQ(GetHeaderParam(" text/plain , x", ""), "text/plain");
  EXPECT_EQ(GetHeaderParam("name=x; text/plain", ""), "");
}

TEST(HeaderParamTest, EqualsSignsInsideAValueStay) {
  EXPECT_EQ(GetHeaderParam("x; name=a=b; c=d", "name"), "a=b");
  EXPECT_EQ(GetHeaderParam("x; name=a=b; c=d", "c"), "d");
}

TEST(FoldPointTest, FindsTheLastSeparatorButNeverTestsTheFirstPosition) {
  EXPECT_EQ(FindFoldPoint("a,b;c", 5), 4u);
  EXPECT_EQ(FindFoldPoint("a,b;c", 3), 2u);
  EXPECT_EQ(FindFoldPoint(",bc", 3), 1u);
  EXPECT_EQ(FindFoldPoint("abc", 99), 1u);
}

TEST(PutHeaderFieldTest, ValueWithoutSeparatorsStaysOnOneLine) {
  HeaderLines lines;
  const std::string value(100, 'v');
  PutHeaderField("x", "Subject", lines, value);
  EXPECT_EQ(lines, HeaderLines({"Subject: " + value}));
}

TEST(PutHeaderFieldTest, FoldsAfterTheLastSeparatorBeforeSeventyCharacters) {
  HeaderLines lines;
  PutHeaderField("x", "To", lines, std::string(60, 'a') + ", " + std::string(40, 'b'));
  EXPECT_EQ(lines[0], "To: " + std::string(60, 'a') + ",\r\n         " + std::string(40, 'b'));
}

TEST(PutHeaderFieldTest, ValueFoldedAlreadyCanGetASecondFoldBehindTheSeparator) {
  HeaderLines lines;
  const std::string first(75, 'a');
  PutHeaderField("x", "To", lines, first + ",\r\n        b");
  EXPECT_EQ(lines[0], "To: " + first + ",\r\n        \r\n        b");
}

TEST(PutHeaderFieldTest, NeverFoldsInsideAQuotedString) {
  HeaderLines lines;
  const std::string first = "\"" + std::string(60, 'x') + ", Jr\" <a@b>,";
  PutHeaderField("x", "To", lines, first + " \"C\" <c@d>");
  EXPECT_EQ(lines[0], "To: " + first + "\r\n         \"C\" <c@d>");
}

TEST(PutHeaderFieldTest, ReplacesAFieldAndItsContinuationsInPlace) {
  HeaderLines lines = {"A: 1", "B: 2", "   cont", "C: 3"};
  PutHeaderField("x", "b", lines, "new");
  EXPECT_EQ(lines, HeaderLines({"A: 1", "b: new", "C: 3"}));
}

TEST(PutHeaderFieldTest, NewFieldGoesBehindTheLastFieldWithThePrefix) {
  HeaderLines lines = {"Received: r", "X-Mailer: m", "  more", "Subject: s"};
  PutHeaderField("x", "To", lines, "v");
  EXPECT_EQ(lines, HeaderLines({"Received: r", "X-Mailer: m", "  more", "To: v", "Subject: s"}));
}

TEST(PutHeaderFieldTest, NewFieldWithoutPrefixedFieldsEndsTheHeader) {
  HeaderLines lines = {"A: 1", "", "body"};
  PutHeaderField("x", "To", lines, "v");
  EXPECT_EQ(lines, HeaderLines({"A: 1", "To: v", "", "body"}));
}

TEST(DeleteHeaderFieldTest, ShortContinuationEndsTheDeletion) {
  HeaderLines lines = {"A: 1", " ab", " c", "B: 2"};
  EXPECT_TRUE(DeleteHeaderField("a", lines));
  EXPECT_EQ(lines, HeaderLines({" c", "B: 2"}));
  EXPECT_FALSE(DeleteHeaderField("Z", lines));
}

TEST(TrimControlsTest, RemovesEverythingUpToBlankFromBothEnds) {
  EXPECT_EQ(TrimControls(std::string_view("\0\r\n a b\t \x1f", 10)), "a b");
}

}  // namespace
}  // namespace compose
