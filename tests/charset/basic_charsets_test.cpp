// US-ASCII and ISO-8859-1: their byte ranges, and what they do with bytes and characters outside;
// the length of a text's ASCII prefix.
#include "support/charset/ascii_units.h"
#include "tests/charset/byte_strings.h"

namespace charset::testing {
namespace {

const ConversionCase kCases[] = {
    {"Latin1EAcuteToUtf8", "iso-8859-1", "utf-8", Bytes({0x63, 0x61, 0x66, 0xE9}),
     Bytes({0x63, 0x61, 0x66, 0xC3, 0xA9})},
    {"Latin1EveryHighByteIsItsCodePoint", "iso-8859-1", "utf-16BE", Bytes({0x80, 0x9F, 0xFF}),
     Bytes({0x00, 0x80, 0x00, 0x9F, 0x00, 0xFF})},
    {"Utf8EuroToLatin1IsQuestionMark", "utf-8", "iso-8859-1", Bytes({0xE2, 0x82, 0xAC}),
     Bytes({0x3F})},
    {"Utf8YDiaeresisToLatin1IsFF", "utf-8", "iso-8859-1", Bytes({0xC3, 0xBF}), Bytes({0xFF})},
    {"Utf8DeleteToAsciiIs7F", "utf-8", "us-ascii", Bytes({0x7F}), Bytes({0x7F})},
    {"Utf8EAcuteToAsciiIsQuestionMark", "utf-8", "us-ascii", Bytes({0x61, 0xC3, 0xA9, 0x62}),
     Bytes({0x61, 0x3F, 0x62})},
    // The conversion goes on after a byte US-ASCII does not define.
    {"AsciiHighByteBecomesReplacementAndGoesOn", "us-ascii", "utf-8",
     Bytes({0x61, 0x62, 0xE9, 0x63, 0x64}), Bytes({0x61, 0x62, 0x3F, 0x63, 0x64})},
    {"AsciiHighByteToUtf16", "us-ascii", "utf-16", Bytes({0x80, 0x41}),
     Bytes({0x3F, 0x00, 0x41, 0x00})},
};

class BasicCharsetConversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(BasicCharsetConversion, ConvertsAsListed) { ExpectConversion(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Table, BasicCharsetConversion, ::testing::ValuesIn(kCases), CaseName);

// Every length, every position of the first high byte, every alignment of the text.
TEST(AsciiPrefix, EndsAtTheFirstByteFrom0x80) {
  std::string buffer(64, 'a');
  for (std::size_t offset = 0; offset < 3; ++offset) {
    for (std::size_t size = 0; size <= 40; ++size) {
      const std::string_view text(buffer.data() + offset, size);
      EXPECT_EQ(AsciiPrefixLength(text), size) << offset << " " << size;
      for (std::size_t high = 0; high < size; ++high) {
        for (char byte : {'\x80', '\xFF'}) {
          buffer[offset + high] = byte;
          buffer[offset + size - 1] = size - 1 == high ? byte : '\x7F';
          EXPECT_EQ(AsciiPrefixLength(text), high) << offset << " " << size << " " << high;
          buffer.assign(64, 'a');
        }
      }
    }
  }
}

}  // namespace
}  // namespace charset::testing
