// The RTF scanners: HTML and plain text taken out of encapsulating RTF.
#include "compose/rtf_body.h"

#include <gtest/gtest.h>

namespace compose {
namespace {

TEST(RtfMarkerTest, MarkersAreFoundAnywhereAndCaseSensitively) {
  EXPECT_TRUE(IsHtmlRtf("{\\rtf1\\ansi\\fromhtml1 x}"));
  EXPECT_FALSE(IsHtmlRtf("{\\rtf1\\FROMHTML1 x}"));
  EXPECT_TRUE(IsTextRtf("{\\rtf1{\\fromtext}}"));
  EXPECT_FALSE(IsTextRtf("{\\rtf1\\fromhtml1}"));
}

TEST(HtmlFromRtfTest, TagGroupsComeOutInOrderWithoutTheLineBreaksBetweenThem) {
  const std::string rtf =
      "{\\rtf1\\ansi\\fromhtml1 \\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n"
      "{\\*\\htmltag19 <html>}\r\n{\\*\\htmltag50 <body>}\r\n{\\*\\htmltag64 <p>}}";
  EXPECT_EQ(HtmlFromRtf(rtf), "<html><body><p>");
}

TEST(HtmlFromRtfTest, AfterHtmlrtfTheOutermostGroupKeepsTextAndLineBreaks) {
  const std::string rtf =
      "{\\rtf1\\fromhtml1 {\\*\\htmltag19 <html>}\\htmlrtf0 \r\n{\\*\\htmltag64 <p>}Hi\r\n}";
  EXPECT_EQ(HtmlFromRtf(rtf), "<html>\r\n<p>Hi\r\n");
}

TEST(HtmlFromRtfTest, HexEscapeInTheCodePageBecomesACharacterReference) {
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\fromhtml1 {\\*\\htmltag64 <p>}\\htmlrtf0 caf\\'e9}";
  EXPECT_EQ(HtmlFromRtf(rtf), "<p>caf&#233;");
}

TEST(HtmlFromRtfTest, TagWrittenAgainstItsControlWordIsSentWhateverTheContext) {
  const std::string rtf = "{\\rtf1\\fromhtml1 {\\*\\htmltag64<p>}{\\*\\htmltag84<a href}}";
  EXPECT_EQ(HtmlFromRtf(rtf), "<p><a href");
}

TEST(HtmlFromRtfTest, FontTableTextIsDropped) {
  const std::string rtf = "{\\rtf1\\fromhtml1 {\\fonttbl{\\f0 Arial;}}{\\*\\htmltag0 x}}";
  EXPECT_EQ(HtmlFromRtf(rtf), "x");
}

TEST(TextFromRtfTest, NestedGroupsAreDroppedAndTheirNeighbouringBlanksKept) {
  const std::string rtf = "{\\rtf1\\ansi\\fromtext Hello {\\b bold} world\\par\r\n}";
  EXPECT_EQ(TextFromRtf(rtf), "Hello  world\r\n");
}

TEST(TextFromRtfTest, SourceLineBreaksAreDroppedAndParagraphsKept) {
  const std::string rtf = "{\\rtf1\\fromtext one\r\ntwo\\par three\\par\r\n}";
  EXPECT_EQ(TextFromRtf(rtf), "onetwo\r\nthree\r\n");
}

TEST(TextFromRtfTest, EscapedBraceSwallowsTheRestOfItsWord) {
  EXPECT_EQ(TextFromRtf("{\\rtf1\\fromtext a\\{b c}"), "ac");
}

TEST(TextFromRtfTest, EscapedBackslashOpensAnotherControlWord) {
  EXPECT_EQ(TextFromRtf("{\\rtf1\\fromtext a\\\\b c}"), "ac");
}

TEST(TextFromRtfTest, TextAfterTheLastDelimiterIsDroppedWithoutClosingBrace) {
  EXPECT_EQ(TextFromRtf("{\\rtf1\\fromtext a b"), "a ");
}

TEST(TextFromRtfTest, CodePageTextBecomesUtf8) {
  EXPECT_EQ(TextFromRtf("{\\rtf1\\ansicpg1252\\fromtext caf\\'e9s\\par}"), "caf\xC3\xA9s\r\n");
}

TEST(TextFromRtfTest, RtfWithoutCodePageIsReadAsTheAnsiDefault) {
  EXPECT_EQ(TextFromRtf("{\\rtf1\\fromtext \\'e9}"), "\xC3\xA9");
}

TEST(TextFromRtfTest, UnbalancedBracesOnlyMoveTheDepth) {
  EXPECT_EQ(TextFromRtf("}}\\fromtext a }"), "a ");
  EXPECT_EQ(TextFromRtf("{{{{\\fromtext a }"), "a ");
}

}  // namespace
}  // namespace compose
