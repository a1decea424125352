// UTF-32, UTF-16 and UTF-8: byte orders and byte-order marks, surrogates, limits of each form,
// and malformed input (each undecodable sequence becomes one replacement, and conversion goes on).
#include "tests/charset/byte_strings.h"

namespace charset::testing {
namespace {

const std::string kGrinningFace = Bytes({0xF0, 0x9F, 0x98, 0x80});  // U+1F600 in UTF-8

const ConversionCase kCases[] = {
    // UTF-16
    {"Utf16SurrogatePairFromUtf8", "utf-8", "utf-16", kGrinningFace,
     Bytes({0x3D, 0xD8, 0x00, 0xDE})},
    {"Utf16BESurrogatePairFromUtf8", "utf-8", "utf-16BE", kGrinningFace,
     Bytes({0xD8, 0x3D, 0xDE, 0x00})},
    {"Utf16SurrogatePairToUtf8", "utf-16", "utf-8", Bytes({0x3D, 0xD8, 0x00, 0xDE}), kGrinningFace},
    {"Utf16ByteOrderMarksSwitchOrder", "utf-16", "utf-8",
     Bytes({0xFE, 0xFF, 0x00, 0x41, 0xFF, 0xFE, 0x42, 0x00}), "AB"},
    {"Utf16BEReadsLittleEndianAfterMark", "utf-16BE", "utf-8",
     Bytes({0x00, 0x41, 0xFF, 0xFE, 0x42, 0x00}), "AB"},
    {"Utf16LoneHalfUnitAtEndIsDropped", "utf-16", "utf-8", Bytes({0x41, 0x00, 0x42}), "A"},
    {"Utf16HighSurrogateAtEndIsDropped", "utf-16", "utf-8", Bytes({0x41, 0x00, 0x3D, 0xD8}), "A"},
    {"Utf16HighSurrogateWithoutLowIsReplaced", "utf-16", "utf-8", Bytes({0x3D, 0xD8, 0x41, 0x00}),
     "?A"},
    {"Utf16LoneLowSurrogateIsReplaced", "utf-16", "utf-8", Bytes({0x00, 0xDE, 0x41, 0x00}), "?A"},
    {"Utf16CannotTakeBeyond10FFFF", "utf-8", "utf-16", Bytes({0xF4, 0x90, 0x80, 0x80}),
     Bytes({0x3F, 0x00})},
    // UTF-32
    {"Utf32LittleEndianByDefault", "utf-32", "utf-8", Bytes({0x41, 0, 0, 0}), "A"},
    {"Utf32BE", "utf-32BE", "utf-8", Bytes({0, 0, 0, 0x41}), "A"},
    {"Utf32FromUtf8", "utf-8", "utf-32", kGrinningFace, Bytes({0x00, 0xF6, 0x01, 0x00})},
    {"Utf32BEFromUtf8", "utf-8", "utf-32BE", kGrinningFace, Bytes({0x00, 0x01, 0xF6, 0x00})},
    {"Utf32ByteOrderMarksSwitchOrder", "utf-32", "utf-8",
     Bytes({0, 0, 0xFE, 0xFF, 0, 0, 0, 0x41, 0xFF, 0xFE, 0, 0, 0x42, 0, 0, 0}), "AB"},
    {"Utf32IncompleteLastUnitIsDropped", "utf-32", "utf-8", Bytes({0x41, 0, 0, 0, 0x42, 0}), "A"},
    {"Utf32CannotTakeBeyond10FFFF", "utf-8", "utf-32", Bytes({0xF4, 0x90, 0x80, 0x80}),
     Bytes({0x3F, 0, 0, 0})},
    {"Utf32UnitAbove10FFFFIsReplaced", "utf-32", "utf-8", Bytes({0x00, 0x00, 0x11, 0x00}), "?"},
    {"Utf32SurrogateUnitIsReplaced", "utf-32", "utf-8", Bytes({0x00, 0xD8, 0, 0, 0x41, 0, 0, 0}),
     "?A"},
    // UTF-8
    {"Utf8MarkIsSkipped", "utf-8", "utf-8", Bytes({0xEF, 0xBB, 0xBF, 0x41}), "A"},
    {"Utf8SixByteFormRoundTrips", "utf-8", "utf-8", Bytes({0xFD, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF}),
     Bytes({0xFD, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF})},
    {"Utf8StrayContinuationByteIsReplaced", "utf-8", "utf-8", Bytes({0x41, 0x80, 0x42}), "A?B"},
    {"Utf8LeadByteConsumesOnlyItself", "utf-8", "utf-8", Bytes({0xC3, 0x41, 0x42}), "?AB"},
    {"Utf8CutSequenceInMiddleGivesTwoReplacements", "utf-8", "utf-16", Bytes({0xE2, 0x82, 0x41}),
     Bytes({0x3F, 0, 0x3F, 0, 0x41, 0})},
    {"Utf8CutSequenceAtEndIsDropped", "utf-8", "utf-8", Bytes({0x41, 0xE2, 0x82}), "A"},
    {"Utf8OverlongFormIsOneReplacement", "utf-8", "utf-8", Bytes({0xC0, 0xAF, 0x41}), "?A"},
    {"Utf8EncodedSurrogateIsReplaced", "utf-8", "utf-16", Bytes({0xED, 0xA0, 0x80}),
     Bytes({0x3F, 0x00})},
    {"Utf8BytesFEAndFFAreReplaced", "utf-8", "utf-8", Bytes({0xFE, 0xFF, 0x41}), "??A"},
    // A U+FFFD in the source counts as a character that could not be converted.
    {"Utf8ReplacementCharacterBecomesQuestionMark", "utf-8", "utf-8", Bytes({0xEF, 0xBF, 0xBD}),
     "?"},
};

class UnicodeConversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(UnicodeConversion, ConvertsAsListed) { ExpectConversion(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Table, UnicodeConversion, ::testing::ValuesIn(kCases), CaseName);

TEST(UnicodePreamble, EachFormWritesItsByteOrderMark) {
  const struct {
    const char* name;
    std::string mark;
  } kMarks[] = {
      {"utf-8", Bytes({0xEF, 0xBB, 0xBF})},    {"utf-16", Bytes({0xFF, 0xFE})},
      {"utf-16BE", Bytes({0xFE, 0xFF})},       {"utf-32", Bytes({0xFF, 0xFE, 0, 0})},
      {"utf-32BE", Bytes({0, 0, 0xFE, 0xFF})}, {"us-ascii", ""},
  };
  for (const auto& m : kMarks) {
    TPlConverter converter("utf-8", m.name);
    char out[kPlMaxBytesPerCall];
    const int n = converter.Destination().WritePreamble(out);
    EXPECT_EQ(Hex(std::string(out, n)), Hex(m.mark)) << m.name;
  }
}

TEST(UnicodeRoundTrip, EveryScalarValueSurvivesUtf8Utf16Utf32) {
  std::string utf32;
  for (TPlCodePoint cp = 1; cp <= 0x10FFFF; cp += 0x101) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    if (cp == 0xFEFF || cp == 0xFFFE || cp == 0xFFFD) continue;
    for (int i = 0; i < 4; ++i) utf32.push_back(static_cast<char>(cp >> (8 * i)));
  }
  const std::string utf8 = TPlConverter("utf-32", "utf-8").Convert(utf32);
  const std::string utf16be = TPlConverter("utf-8", "utf-16BE").Convert(utf8);
  EXPECT_EQ(TPlConverter("utf-16BE", "utf-32").Convert(utf16be), utf32);
}

}  // namespace
}  // namespace charset::testing
