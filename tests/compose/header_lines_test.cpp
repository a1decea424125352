// Header-line lists: reading fields and parameters, folding, replacing, inserting and deleting.
#include "compose/header_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// Unfolding as a reader does it: the CR LF pairs taken out, the white space after them kept.
std::string Unfolded(std::string text) {
  for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 2);
  return text;
}

std::vector<std::string> PhysicalLines(const std::string& field) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t end; (end = field.find("\r\n", start)) != std::string::npos; start = end + 2) {
    out.push_back(field.substr(start, end - start));
  }
  out.push_back(field.substr(start));
  return out;
}

TEST(PutHeaderFieldTest, FoldsOnlyBeforeWhiteSpaceAndUnfoldsToTheValue) {
  const std::vector<std::string> values = {
      "Re: " + std::string(70, 'a') + " tail  with   runs of blanks\tand a tab " +
          std::string(90, 'b'),
      std::string(60, 'a') + ", " + std::string(40, 'b'),
      "\"" + std::string(60, 'x') + ", Jr\" <a@b>, \"C\" <c@d>",
      "  leading blanks " + std::string(200, 'w') + " and trailing ones   ",
  };
  for (const std::string& value : values) {
    HeaderLines lines;
    PutHeaderField("x", "Subject", lines, value);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(Unfolded(lines[0]), "Subject: " + value);
    const std::vector<std::string> physical = PhysicalLines(lines[0]);
    EXPECT_GT(physical.size(), 1u) << value;
    for (std::size_t k = 1; k < physical.size(); ++k) {
      EXPECT_TRUE(physical[k][0] == ' ' || physical[k][0] == '\t') << physical[k];
      EXPECT_NE(physical[k].find_first_not_of(" \t"), std::string::npos) << "blank continuation";
    }
  }
}

TEST(PutHeaderFieldTest, LinesStayWithinSeventyEightWhereWhiteSpaceAllows) {
  std::string value;
  for (int i = 0; i < 40; ++i) value += "word" + std::to_string(i) + " ";
  HeaderLines lines;
  PutHeaderField("x", "Subject", lines, value);
  for (const std::string& line : PhysicalLines(lines[0])) EXPECT_LE(line.size(), 78u) << line;
}

TEST(PutHeaderFieldTest, ValueWithoutWhiteSpaceStaysOnOneLine) {
  HeaderLines lines;
  const std::string value(100, 'v');
  PutHeaderField("x", "Subject", lines, value);
  EXPECT_EQ(lines, HeaderLines({"Subject: " + value}));
}

TEST(PutHeaderFieldTest, ValueFoldedAlreadyKeepsItsFoldsAndGetsNoBlankLine) {
  HeaderLines lines;
  const std::string first(75, 'a');
  PutHeaderField("x", "To", lines, first + ",\r\n        b");
  EXPECT_EQ(lines[0], "To: " + first + ",\r\n        b");
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
