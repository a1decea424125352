// UTF-7: the examples of RFC 2152 both ways, "+-", shifted sequences closed before direct
// characters and at line breaks, and what the 16-bit form cannot carry.
#include <sstream>

#include "tests/charset/byte_strings.h"

namespace charset::testing {
namespace {

const ConversionCase kCases[] = {
    // Encoding: every character outside the direct set is shifted; a sequence is always closed.
    {"EncodeNotIdenticalToAlpha", "utf-8", "utf-7", "A\u2262\u0391.", "A+ImIDkQ-."},
    {"EncodeHiMom", "utf-8", "utf-7", "Hi Mom -\u263A-!", "Hi Mom -+Jjo--+ACE-"},
    {"EncodeJapanese", "utf-8", "utf-7", "\u65E5\u672C\u8A9E", "+ZeVnLIqe-"},
    {"EncodePound", "utf-8", "utf-7", "Item 3 is \u00A31.", "Item 3 is +AKM-1."},
    {"EncodePlus", "utf-8", "utf-7", "1+1", "1+-1"},
    {"EncodeClosesAtLineBreak", "utf-8", "utf-7", "\u00A3\r\n\u00A3", "+AKM-\r\n+AKM-"},
    {"EncodeBeyondFFFFIsReplaced", "utf-8", "utf-7", Bytes({0x41, 0xF0, 0x9F, 0x98, 0x80}), "A?"},
    // Decoding: the forms RFC 2152 gives, with and without the closing "-".
    {"DecodeNotIdenticalToAlpha", "utf-7", "utf-8", "A+ImIDkQ.", "A\u2262\u0391."},
    {"DecodeHiMom", "utf-7", "utf-8", "Hi Mom -+Jjo--!", "Hi Mom -\u263A-!"},
    {"DecodeJapanese", "utf-7", "utf-8", "+ZeVnLIqe-", "\u65E5\u672C\u8A9E"},
    {"DecodePound", "utf-7", "utf-8", "Item 3 is +AKM-1.", "Item 3 is \u00A31."},
    {"DecodePlusMinus", "utf-7", "utf-8", "1+-1", "1+1"},
    {"DecodeOpenSequenceAtEnd", "utf-7", "utf-8", "x+AKM", "x\u00A3"},
    {"DecodeCutSequenceAtEndIsDropped", "utf-7", "utf-8", "x+AK", "x"},
    {"DecodeEightBitByteIsReplaced", "utf-7", "utf-8", Bytes({0x41, 0xE9, 0x42}), "A?B"},
    {"DecodeSequenceEndedByOtherCharacter", "utf-7", "utf-8", "+AKM!", "\u00A3!"},
    {"DecodeSurrogatePairIsOneCharacter", "utf-7", "utf-8", "+2D3eAA-", "\U0001F600"},
    {"DecodeLoneHighSurrogateIsReplaced", "utf-7", "utf-8", "+2D0-x", "?x"},
    {"DecodeHighSurrogateBeforeOtherUnitIsReplaced", "utf-7", "utf-8", "+2D0AQQ-", "?A"},
    {"DecodeLoneLowSurrogateIsReplaced", "utf-7", "utf-8", "+3gA-", "?"},
};

class Utf7Conversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(Utf7Conversion, ConvertsAsListed) { ExpectConversion(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Table, Utf7Conversion, ::testing::ValuesIn(kCases), CaseName);

TEST(Utf7RoundTrip, MixedTextSurvives) {
  const std::string text =
      "Dear \u00C9milie,\r\nthe price is 3+4 \u20AC (\u65E5\u672C) - \"ok\"?\r\n\r\n~\\_\u0391";
  const std::string utf7 = TPlConverter("utf-8", "utf-7").Convert(text);
  for (unsigned char c : utf7) EXPECT_LT(c, 0x80);
  EXPECT_EQ(TPlConverter("utf-7", "utf-8").Convert(utf7), text);
}

// The decoder keeps its state across the blocks a stream is read in.
TEST(Utf7Stream, LongShiftedSequenceCrossesReadBlocks) {
  std::string text;
  for (int i = 0; i < 30000; ++i) text += "\u00E9\u4E2D";
  const std::string utf7 = TPlConverter("utf-8", "utf-7").Convert(text);
  ASSERT_GT(utf7.size(), 64u * 1024u);
  std::istringstream in(utf7);
  std::ostringstream out;
  TPlConverter("utf-7", "utf-8").ConvertStream(in, out);
  EXPECT_EQ(out.str(), text);
}

}  // namespace
}  // namespace charset::testing
