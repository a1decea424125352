// The conversion loop: string and stream forms, option bits 2 and 4, the character limit, input
// read in blocks, and the source position left behind.
#include <sstream>

#include "support/charset/charset_registry.h"
#include "tests/charset/byte_strings.h"

namespace charset::testing {
namespace {

TEST(StringConversion, EmptySourceGivesEmptyResult) {
  EXPECT_EQ(TPlConverter("utf-8", "utf-16").Convert(""), "");
  EXPECT_EQ(TPlConverter("utf-8", "utf-7").Convert(""), "");
}

TEST(StringConversion, ConverterGivesTheSameResultEachTime) {
  TPlConverter converter("utf-16", "utf-8");
  // The mark switches to big-endian for this text only; the next text starts little-endian again.
  EXPECT_EQ(converter.Convert(Bytes({0xFE, 0xFF, 0x00, 0x41})), "A");
  EXPECT_EQ(converter.Convert(Bytes({0x42, 0x00})), "B");
  EXPECT_EQ(converter.Convert(Bytes({0x42, 0x00})), "B");
}

TEST(StringConversion, ReplacementIsEncodedInTheDestination) {
  EXPECT_EQ(ConvertHex("utf-8", "utf-16BE", Bytes({0x80})), Hex(Bytes({0x00, 0x3F})));
  EXPECT_EQ(ConvertHex("utf-8", "utf-32", Bytes({0xE9, 0x41})),
            Hex(Bytes({0x3F, 0, 0, 0, 0x41, 0, 0, 0})));
}

TEST(DropOption, DropsUnencodableAndUndecodableCharacters) {
  EXPECT_EQ(ConvertHex("utf-8", "iso-8859-1", "a\u20ACb\u00E9", kPlDropIllegal),
            Hex(Bytes({0x61, 0x62, 0xE9})));
  EXPECT_EQ(ConvertHex("us-ascii", "utf-8", Bytes({0x61, 0xE9, 0x62}), kPlDropIllegal), Hex("ab"));
  EXPECT_EQ(ConvertHex("utf-8", "utf-7", "a\U0001F600b", kPlDropIllegal), Hex("ab"));
}

TEST(UnicodeReplacementOption, UnicodeDestinationsGetU_FFFD) {
  EXPECT_EQ(ConvertHex("us-ascii", "utf-8", Bytes({0x61, 0xE9, 0x62}), kPlUnicodeReplacement),
            Hex("a\uFFFDb"));
  EXPECT_EQ(ConvertHex("utf-8", "utf-16BE", Bytes({0x80}), kPlUnicodeReplacement),
            Hex(Bytes({0xFF, 0xFD})));
  // Sets without U+FFFD keep their own replacement.
  EXPECT_EQ(ConvertHex("utf-8", "iso-8859-1", "\u20AC", kPlUnicodeReplacement), Hex("?"));
}

TEST(RaiseOption, RaisesIllegalCharacter) {
  TPlConverter converter("utf-8", "us-ascii");
  try {
    converter.Convert("ab\u00E9c", kPlRaiseIllegal);
    FAIL() << "no error raised";
  } catch (const TPlConvertError& error) {
    EXPECT_STREQ(error.what(), "Illegal character");
  }
  EXPECT_THROW(converter.Convert("a\x80", kPlRaiseIllegal | kPlDropIllegal), TPlConvertError);
  EXPECT_EQ(converter.Convert("plain", kPlRaiseIllegal), "plain");
}

TEST(RaiseOption, WhatCameBeforeIsWrittenToTheStream) {
  std::istringstream in("ab\u00E9c");
  std::ostringstream out;
  EXPECT_THROW(TPlConverter("utf-8", "us-ascii").ConvertStream(in, out, 0, kPlRaiseIllegal),
               TPlConvertError);
  EXPECT_EQ(out.str(), "ab");
}

TEST(RaiseOption, StatefulDestinationWritesWhatCameBefore) {
  std::istringstream in("a\U0001F600");
  std::ostringstream out;
  EXPECT_THROW(TPlConverter("utf-8", "utf-7").ConvertStream(in, out, 0, kPlRaiseIllegal),
               TPlConvertError);
  EXPECT_EQ(out.str(), "a");
}

TEST(StreamConversion, ReadsFromTheCurrentPosition) {
  std::istringstream in("skip:caf\xE9");
  in.seekg(5);
  std::ostringstream out("x", std::ios::ate);
  TPlConverter("iso-8859-1", "utf-8").ConvertStream(in, out);
  EXPECT_EQ(out.str(), "xcaf\u00E9");
}

TEST(StreamConversion, CharacterLimitStopsAndLeavesTheRest) {
  std::istringstream in("h\u00E9llo");
  std::ostringstream out;
  TPlConverter("utf-8", "iso-8859-1").ConvertStream(in, out, 2);
  EXPECT_EQ(Hex(out.str()), Hex(Bytes({0x68, 0xE9})));
  std::string rest;
  in >> rest;
  EXPECT_EQ(rest, "llo");
}

TEST(StreamConversion, IncompleteSequenceAtEndStaysInTheSource) {
  std::istringstream in(Bytes({0x41, 0xE2, 0x82}));
  std::ostringstream out;
  TPlConverter("utf-8", "utf-16BE").ConvertStream(in, out);
  EXPECT_EQ(Hex(out.str()), Hex(Bytes({0x00, 0x41})));
  EXPECT_EQ(in.tellg(), 1);
}

TEST(StreamConversion, SequenceSplitAcrossReadBlocksIsWhole) {
  // 65535 ASCII bytes put the two bytes of U+00E9 on either side of the first 64 KiB block.
  const std::string text = std::string(65535, 'a') + "\u00E9" + std::string(70000, 'b') + "\u20AC";
  std::istringstream in(text);
  std::ostringstream out;
  TPlConverter("utf-8", "utf-16").ConvertStream(in, out);
  const std::string utf16 = out.str();
  ASSERT_EQ(utf16.size(), 2 * (65535 + 1 + 70000 + 1));
  EXPECT_EQ(Hex(utf16.substr(2 * 65535, 2)), Hex(Bytes({0xE9, 0x00})));
  EXPECT_EQ(Hex(utf16.substr(utf16.size() - 2)), Hex(Bytes({0xAC, 0x20})));
  EXPECT_EQ(TPlConverter("utf-8", "utf-16").Convert(text), utf16);
}

TEST(StreamConversion, ManyReplacementsInOneRound) {
  // Every byte undecodable: each becomes one "?" encoded as two bytes.
  const std::string bad(10000, '\x80');
  std::istringstream in(bad);
  std::ostringstream out;
  TPlConverter("utf-8", "utf-16").ConvertStream(in, out);
  EXPECT_EQ(out.str().size(), 20000u);
  EXPECT_EQ(out.str().substr(0, 4), Bytes({0x3F, 0, 0x3F, 0}));
}

TEST(Fallback, WindowsCodePageWithoutLibraryReadsAsLatin1) {
  TPlCharsetRegistry::Instance().ResetForTesting({});
  EXPECT_EQ(ConvertHex("windows-1252", "utf-8", Bytes({0x80, 0x93, 0x9F})),
            Hex(Bytes({0xC2, 0x80, 0xC2, 0x93, 0xC2, 0x9F})));
  TPlCharsetRegistry::Instance().ResetForTesting(TPlCharsetRegistry::DefaultLibraryDirectories());
}

}  // namespace
}  // namespace charset::testing
