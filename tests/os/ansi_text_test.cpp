// Conversions between Windows code pages and UTF-8: each direction, what cannot be converted, and
// the code pages that leave text alone. The same answers are expected from the C library's iconv
// and from the Windows code pages.
#include <gtest/gtest.h>

#include <string>

#include "platform/os/ansi_code_page.h"

namespace {

struct Case {
  const char* what;
  unsigned code_page;
  std::string bytes;  // in the code page
  std::string utf8;
};

TEST(AnsiText, ConvertsBothWaysWhereTheCodePageHasTheCharacters) {
  const Case cases[] = {
      {"Latin letters", 1252, "caf\xE9 \xC4rger", "caf\xC3\xA9 \xC3\x84rger"},
      {"euro sign and quotes", 1252, "\x80 \x93x\x94", "\xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D"},
      {"Cyrillic", 1251, "\xCF\xF0\xE8", "\xD0\x9F\xD1\x80\xD0\xB8"},
      {"double-byte Japanese", 932, "\x93\xFA\x96\x7B", "\xE6\x97\xA5\xE6\x9C\xAC"},
      {"ASCII with an embedded NUL", 1252, std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(os::CodePageToUtf8(c.bytes, c.code_page), c.utf8) << c.what;
    EXPECT_EQ(os::Utf8ToCodePage(c.utf8, c.code_page), c.bytes) << c.what;
  }
}

TEST(AnsiText, ReplacesWhatCannotBeConvertedAndGoesOn) {
  // Bytes 1252 leaves undefined become U+FFFD, each alone.
  EXPECT_EQ(os::CodePageToUtf8("a\x81\x8D"
                               "b",
                               1252),
            "a\xEF\xBF\xBD\xEF\xBF\xBD"
            "b");
  // Characters 1252 lacks, a C1 control that only an undefined byte would stand for, malformed
  // and cut-off UTF-8: one "?" each.
  EXPECT_EQ(os::Utf8ToCodePage("x\xE6\x97\xA5y\xC2\x81z", 1252), "x?y?z");
  EXPECT_EQ(os::Utf8ToCodePage("a\xFF\xC3\xA9\xC3", 1252), "a?\xE9?");
  EXPECT_EQ(os::Utf8ToCodePage("\xF0\x9F\x98\x80!", 1251), "?!");
}

TEST(AnsiText, UnchangedInUtf8AndInCodePagesTheSystemLacks) {
  const std::string malformed = "a\xFF\xC3";
  EXPECT_EQ(os::CodePageToUtf8(malformed, os::kUtf8CodePage), malformed);
  EXPECT_EQ(os::Utf8ToCodePage(malformed, os::kUtf8CodePage), malformed);
  EXPECT_EQ(os::CodePageToUtf8("caf\xE9", 4), "caf\xE9");
  EXPECT_EQ(os::Utf8ToCodePage("caf\xC3\xA9", 4), "caf\xC3\xA9");
  EXPECT_EQ(os::CodePageToUtf8("", 1252), "");
}

TEST(AnsiText, LongTextsConvertWhole) {
  // Longer than any buffer of the conversion: nothing is lost at a buffer's edge.
  std::string bytes, utf8;
  for (int i = 0; i < 3000; ++i) {
    bytes += "\xE9z";
    utf8 += "\xC3\xA9z";
  }
  EXPECT_EQ(os::CodePageToUtf8(bytes, 1252), utf8);
  EXPECT_EQ(os::Utf8ToCodePage(utf8, 1252), bytes);
}

}  // namespace
