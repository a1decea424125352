// Text conversion of string values to UTF-8: surrogates, code pages, undefined bytes.
#include <gtest/gtest.h>

#include "platform/pst/ltp/codepage_text.h"
#include "tests/pst/ltp/heap_builder.h"

namespace pst::ltp {
namespace {

using testing::Ascii;
using testing::ByteVector;
using testing::Le16;

ByteVector Units(std::initializer_list<std::uint16_t> units) {
  ByteVector b;
  for (auto u : units) testing::PutLe(b, u, 2);
  return b;
}

TEST(Utf16ToUtf8, ConvertsPairsAndReplacesLoneSurrogates) {
  EXPECT_EQ(Utf16LeToUtf8(Units({'a', 0x00E9, 0x20AC})), "a\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(Utf16LeToUtf8(Units({0xD83D, 0xDE00})), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf16LeToUtf8(Units({'x', 0xD83D, 'y'})), "x\xEF\xBF\xBDy");
  EXPECT_EQ(Utf16LeToUtf8(Units({0xDE00, 'z'})), "\xEF\xBF\xBDz");
  EXPECT_EQ(Utf16LeToUtf8(Units({'q', 0xD83D})), "q\xEF\xBF\xBD");
}

TEST(Utf16ToUtf8, DropsOnlyAnIncompleteTrailingByte) {
  ByteVector b = Units({'o', 'k'});
  b.push_back(std::byte{0x41});
  EXPECT_EQ(Utf16LeToUtf8(b), "ok");
}

TEST(CodePageToUtf8, UsesTheGivenCodePage) {
  EXPECT_EQ(CodePageToUtf8(Ascii("\x80 caf\xE9"), 1252), "\xE2\x82\xAC caf\xC3\xA9");
  EXPECT_EQ(CodePageToUtf8(Ascii("\xC0\xE1"), 1251), "\xD0\x90\xD0\xB1");
  EXPECT_EQ(CodePageToUtf8(Ascii("\x93\xFA\x96\x7B"), 932), "\xE6\x97\xA5\xE6\x9C\xAC");
  EXPECT_EQ(CodePageToUtf8(Ascii("plain"), 65001), "plain");
}

TEST(CodePageToUtf8, UndefinedByteBecomesReplacementAndTheRestSurvives) {
  EXPECT_EQ(CodePageToUtf8(Ascii("a\x81z"), 1252), "a\xEF\xBF\xBDz");
  EXPECT_EQ(CodePageToUtf8(Ascii("\xFF\xFEok"), 65001), "\xEF\xBF\xBD\xEF\xBF\xBDok");
}

TEST(CodePageToUtf8, UnknownCodePageReadsAs1252) {
  EXPECT_EQ(CodePageToUtf8(Ascii("caf\xE9"), 4242), "caf\xC3\xA9");
}

}  // namespace
}  // namespace pst::ltp
