// The RTF scanners: HTML and plain text taken out of encapsulating RTF.
#include "compose/rtf_body.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "compose/char_codes.h"
#include "mime/numeric_references.h"

namespace compose {
namespace {

TEST(RtfMarkerTest, MarkersAreFoundAnywhereAndCaseSensitively) {
  EXPECT_TRUE(IsHtmlRtf("{\\rtf1\\ansi\\fromhtml1 x}"));
  EXPECT_FALSE(IsHtmlRtf("{\\rtf1\\FROMHTML1 x}"));
  EXPECT_TRUE(IsTextRtf("{\\rtf1{\\fromtext}}"));
  EXPECT_FALSE(IsTextRtf("{\\rtf1\\fromhtml1}"));
  // The skipping search: the marker last, after near misses, overlapping a false start, cut off.
  EXPECT_TRUE(IsHtmlRtf("\\fromhtml"));
  EXPECT_TRUE(IsHtmlRtf("{\\rtf1 \\fromhtm \\fromhtmx \\\\fromhtml"));
  EXPECT_TRUE(IsTextRtf("\\from\\fromtext"));
  EXPECT_FALSE(IsTextRtf("{\\rtf1\\fromtex"));
  EXPECT_FALSE(IsTextRtf(""));
  // Texts long enough for the search's sixteen-byte steps: the marker at every place among near
  // misses that begin and end like it, and cut off at the end.
  std::string misses;
  while (misses.size() < 80) misses += "\\frxmhtml";
  EXPECT_FALSE(IsHtmlRtf(misses));
  for (std::size_t at = 0; at + 9 <= misses.size(); ++at) {
    std::string rtf = misses;
    rtf.replace(at, 9, "\\fromhtml");
    EXPECT_TRUE(IsHtmlRtf(rtf)) << at;
    EXPECT_FALSE(IsHtmlRtf(rtf.substr(0, at + 8))) << at;
  }
}

TEST(HtmlFromRtfTest, TagGroupsComeOutInOrderWithoutTheLineBreaksBetweenThem) {
  const std::string rtf =
      "{\\rtf1\\ansi\\fromhtml1 \\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n"
      "{\\*\\htmltag19 <html>}\r\n{\\*\\htmltag50 <body>}\r\n{\\*\\htmltag64 <p>}}";
  EXPECT_EQ(HtmlFromRtf(rtf), "<html><body><p>");
}

TEST(HtmlFromRtfTest, TextMarkedRtfOnlyIsLeftOutAndSourceLineBreaksIgnored) {
  const std::string rtf =
      "{\\rtf1\\fromhtml1 {\\*\\htmltag19 <html>}\\htmlrtf {\\b bold\\par}\\htmlrtf0 \r\n"
      "{\\*\\htmltag64 <p>}Hi{\\*\\htmltag0 \\par }\r\n}";
  EXPECT_EQ(HtmlFromRtf(rtf), "<html><p>Hi\r\n");
}

TEST(HtmlFromRtfTest, EscapesGiveTheirCharacterAndSwallowNothing) {
  const std::string rtf =
      "{\\rtf1\\fromhtml1 {\\*\\htmltag241 <style>p \\{ color: red \\}</style>}"
      "{\\*\\htmltag64 <p>}C:\\\\temp\\\\file.txt, done}";
  EXPECT_EQ(HtmlFromRtf(rtf), "<style>p { color: red }</style><p>C:\\temp\\file.txt, done");
}

TEST(HtmlFromRtfTest, UnicodeCharactersSkipTheirFallback) {
  const std::string rtf = "{\\rtf1\\fromhtml1 \\uc1{\\*\\htmltag64 <p>}\\u1046?\\u1077?}";
  EXPECT_EQ(HtmlFromRtf(rtf), "<p>&#1046;&#1077;");
}

TEST(HtmlFromRtfTest, HexEscapeInTheCodePageBecomesACharacterReference) {
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\fromhtml1 {\\*\\htmltag64 <p>}\\htmlrtf0 caf\\'e9}";
  EXPECT_EQ(HtmlFromRtf(rtf), "<p>caf&#233;");
}

// What the converter makes of bytes in the code page an RTF names (none: the ANSI default).
std::string Converted(std::string_view bytes, std::string_view code_page) {
  return ConvertCharset(bytes, code_page.empty() ? "1252" : code_page, "utf8");
}

// Each byte of each code page, alone and in a run of all of them backwards, reads as the converter
// reads it, in the HTML and in the text; multi-byte code pages are among them.
TEST(RtfCodePageTest, EveryByteReadsAsTheConverterReadsIt) {
  for (std::string_view code_page : {"", "874", "1250", "1251", "1252", "1253", "1254", "1255",
                                     "1256", "1257", "1258", "932", "65001"}) {
    const std::string head =
        "{\\rtf1\\ansi" +
        (code_page.empty() ? std::string() : "\\ansicpg" + std::string(code_page));
    std::string escapes, bytes;
    for (int b = 0; b < 256; ++b) {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\'%02x", b);
      const std::string byte(1, static_cast<char>(b));
      EXPECT_EQ(HtmlFromRtf(head + "\\fromhtml1 {\\*\\htmltag64 <p>" + escape + "}}"),
                "<p>" + mime::ToNumericReferences(Converted(byte, code_page)))
          << code_page << " " << b;
      EXPECT_EQ(TextFromRtf(head + "\\fromtext " + escape + "}"), Converted(byte, code_page))
          << code_page << " " << b;
      escapes.insert(0, escape);
      bytes.insert(0, byte);
    }
    EXPECT_EQ(HtmlFromRtf(head + "\\fromhtml1 {\\*\\htmltag64 " + escapes + "}}"),
              mime::ToNumericReferences(Converted(bytes, code_page)))
        << code_page;
    EXPECT_EQ(TextFromRtf(head + "\\fromtext " + escapes + "}"), Converted(bytes, code_page))
        << code_page;
  }
}

TEST(HtmlFromRtfTest, TagWrittenAgainstItsControlWordIsSentWhateverTheContext) {
  const std::string rtf = "{\\rtf1\\fromhtml1 {\\*\\htmltag64<p>}{\\*\\htmltag84<a href}}";
  EXPECT_EQ(HtmlFromRtf(rtf), "<p><a href");
}

TEST(HtmlFromRtfTest, FontTableTextIsDropped) {
  const std::string rtf = "{\\rtf1\\fromhtml1 {\\fonttbl{\\f0 Arial;}}{\\*\\htmltag0 x}}";
  EXPECT_EQ(HtmlFromRtf(rtf), "x");
}

TEST(TextFromRtfTest, NestedGroupsKeepTheirTextAndDestinationsHoldNone) {
  const std::string rtf =
      "{\\rtf1\\ansi\\fromtext {\\fonttbl{\\f0 Arial;}}{\\*\\generator x;}Hello {\\b bold} "
      "world\\par\r\n}";
  EXPECT_EQ(TextFromRtf(rtf), "Hello bold world\r\n");
}

TEST(TextFromRtfTest, ControlWordsForLayoutGiveTheirCharacters) {
  const std::string rtf = "{\\rtf1\\fromtext one\r\ntwo\\tab three\\line four\\par}";
  EXPECT_EQ(TextFromRtf(rtf), "onetwo\tthree\r\nfour\r\n");
}

TEST(TextFromRtfTest, EscapesGiveTheirCharacterAndSwallowNothing) {
  EXPECT_EQ(TextFromRtf("{\\rtf1\\fromtext a\\{b\\}c}"), "a{b}c");
  EXPECT_EQ(TextFromRtf("{\\rtf1\\fromtext Path C:\\\\temp\\\\file.txt, ok}"),
            "Path C:\\temp\\file.txt, ok");
  // A run of hex escapes: a broken one in it, and fallback characters taken from it.
  EXPECT_EQ(TextFromRtf("{\\rtf1\\fromtext \\'41\\'42\\'4\\'43\\uc2\\u66\\'41\\'42\\'43\\'}"),
            "AB4CBC");
  // Text long enough for the reader's sixteen-byte steps, with each byte that ends a run of text
  // at every place of it.
  const std::string text(48, 't');
  const std::pair<std::string, std::string> marks[] = {
      {"\r\n", ""}, {std::string(1, '\0'), ""}, {"{b}", "b"}, {"\\{", "{"}, {"\\}", "}"}};
  for (std::size_t at = 0; at <= text.size(); ++at) {
    for (const auto& [mark, shown] : marks) {
      const std::string rtf =
          "{\\rtf1\\fromtext " + text.substr(0, at) + mark + text.substr(at) + "}";
      EXPECT_EQ(TextFromRtf(rtf), text.substr(0, at) + shown + text.substr(at)) << at;
    }
  }
}

TEST(TextFromRtfTest, UnicodeSkipsTheCountOfFallbackCharacters) {
  // \uc2: two fallback characters, a hex escape counting as one.
  EXPECT_EQ(TextFromRtf("{\\rtf1\\fromtext \\uc2\\u1046\\'3f?x \\u-10179\\u-8704??}"),
            "\xD0\x96x \xF0\x9F\x98\x80");
  EXPECT_EQ(TextFromRtf("{\\rtf1\\fromtext caf\\u233?s}"), "caf\xC3\xA9s");
}

TEST(TextFromRtfTest, ParametersAreReadWhateverTheirForm) {
  // A bare minus belongs to the word; a parameter too large counts as 2^20 (a unit of 0).
  EXPECT_EQ(TextFromRtf("{\\rtf1\\fromtext \\par-x\\uc0\\u65 y\\u-191z}"), "\r\nxAy\xEF\xBD\x81z");
  EXPECT_EQ(TextFromRtf("{\\rtf1\\fromtext \\u99999999999?x\\u-?y\\uc99 \\u66????????????????z}"),
            std::string("\0x\0yBz", 6));
  // Leading zeros count for nothing; 2^20 itself is the largest value kept.
  EXPECT_EQ(TextFromRtf("{\\rtf1\\fromtext \\uc0\\u000000000065\\u1048576 \\u-0065}"),
            std::string("A\0\xEF\xBE\xBF", 5));
}

TEST(TextFromRtfTest, TextStillOpenAtTheEndIsKept) {
  EXPECT_EQ(TextFromRtf("{\\rtf1\\fromtext a b"), "a b");
}

TEST(TextFromRtfTest, CodePageTextBecomesUtf8) {
  EXPECT_EQ(TextFromRtf("{\\rtf1\\ansicpg1252\\fromtext caf\\'e9s\\par}"), "caf\xC3\xA9s\r\n");
}

TEST(TextFromRtfTest, RtfWithoutCodePageIsReadAsTheAnsiDefault) {
  EXPECT_EQ(TextFromRtf("{\\rtf1\\fromtext \\'e9}"), "\xC3\xA9");
}

TEST(TextFromRtfTest, UnbalancedBracesEndNothingEarly) {
  EXPECT_EQ(TextFromRtf("}}\\fromtext a }b"), "a b");
  EXPECT_EQ(TextFromRtf("{{{{\\fromtext a }"), "a ");
  EXPECT_EQ(TextFromRtf(std::string(5000, '{') + "deep" + std::string(5000, '}') + "top"),
            "deeptop");
}

}  // namespace
}  // namespace compose
