// Text conversion of string values to UTF-8: surrogates, code pages, undefined bytes.
#include <gtest/gtest.h>

#include <random>
#include <string>

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

// Unit by unit, the rules written out plainly: the reference the fast conversion must match.
std::string ReferenceUtf8(const std::vector<std::uint16_t>& units) {
  std::string out;
  auto put = [&](char32_t c) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  };
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char32_t u = units[i];
    const bool high = u >= 0xD800 && u <= 0xDBFF;
    if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      put(0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      put(0xFFFD);
    } else {
      put(u);
    }
  }
  return out;
}

TEST(Utf16ToUtf8, MatchesTheUnitByUnitRulesOnLongMixedText) {
  // Long ASCII runs broken by units that look ASCII in one byte only (0x4100, 0x0180), pairs, lone
  // surrogates and three-byte characters, in texts longer than the conversion's working chunk.
  const std::uint16_t specials[] = {0x80,   0xFF,   0x100,  0x4100, 0x0180, 0x7F80, 0xFFFF,
                                    0x20AC, 0xD83D, 0xDE00, 0xDBFF, 0xDC00, 0x7F,   0x00};
  std::mt19937 gen(17);
  for (int round = 0; round < 60; ++round) {
    std::vector<std::uint16_t> units;
    const std::size_t length = gen() % (round < 30 ? 200 : 12000);
    while (units.size() < length) {
      const std::size_t run = gen() % (gen() % 2 ? 70 : 5);
      for (std::size_t k = 0; k < run; ++k)
        units.push_back(static_cast<std::uint16_t>(0x20 + gen() % 0x5F));
      const int kind = static_cast<int>(gen() % 4);
      if (kind == 0) units.push_back(specials[gen() % std::size(specials)]);
      if (kind == 1) units.insert(units.end(), {0xD83D, 0xDE00});
      if (kind == 2) units.push_back(static_cast<std::uint16_t>(gen()));
      // A run of two-byte characters (Cyrillic, accented Latin), the range's edges among them.
      const std::uint16_t edges[] = {0x7F, 0x80, 0x7FF, 0x800, 0x8080, 0xFFFF};
      for (std::size_t k = 0, n = kind == 3 ? gen() % 40 : 0; k < n; ++k) {
        units.push_back(gen() % 16 == 0 ? edges[gen() % std::size(edges)]
                                        : static_cast<std::uint16_t>(0x80 + gen() % 0x780));
      }
    }
    ByteVector bytes;
    for (auto u : units) testing::PutLe(bytes, u, 2);
    ASSERT_EQ(Utf16LeToUtf8(bytes), ReferenceUtf8(units)) << "round " << round;
  }
}

TEST(Utf16ToUtf8, AnyUnitAfterAnyAsciiPrefixEndsTheFastCopyExactlyThere) {
  for (std::uint16_t stop : {0x80, 0x100, 0x4100, 0x0180, 0xFF7F, 0xE9, 0xD83D}) {
    for (std::size_t at = 0; at < 70; ++at) {
      std::vector<std::uint16_t> units(at, 'k');
      units.push_back(stop);
      units.insert(units.end(), 20, 'z');
      ByteVector bytes;
      for (auto u : units) testing::PutLe(bytes, u, 2);
      ASSERT_EQ(Utf16LeToUtf8(bytes), ReferenceUtf8(units)) << "unit " << stop << " at " << at;
    }
  }
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

TEST(CodePageToUtf8, OnlyTextThatConvertsToItselfSkipsTheConversion) {
  EXPECT_EQ(CodePageToUtf8(Ascii("caf\xC3\xA9 \xF0\x9F\x98\x80"), 65001),
            "caf\xC3\xA9 \xF0\x9F\x98\x80");
  // Overlong forms and encoded surrogates are not UTF-8.
  EXPECT_EQ(CodePageToUtf8(Ascii("\xC0\xAFx"), 65001), "\xEF\xBF\xBD\xEF\xBF\xBDx");
  EXPECT_EQ(CodePageToUtf8(Ascii("\xED\xA0\x80"), 65001), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
  // ASCII bytes that mean something else in the code page.
  EXPECT_EQ(CodePageToUtf8(Ascii("+AOk-"), 65000), "\xC3\xA9");
  EXPECT_EQ(CodePageToUtf8(Ascii(std::string("a\0b", 3)), 1252), std::string("a\0b", 3));
}

TEST(CodePageToUtf8, UnknownCodePageReadsAs1252) {
  EXPECT_EQ(CodePageToUtf8(Ascii("caf\xE9"), 4242), "caf\xC3\xA9");
}

}  // namespace
}  // namespace pst::ltp
