// Header text codecs: Q and B words, base64 and quoted-printable bodies, numeric references.
#include <gtest/gtest.h>

#include "mime/base64_codec.h"
#include "mime/encoded_words.h"
#include "mime/numeric_references.h"
#include "mime/quoted_printable_codec.h"

namespace mime {
namespace {

struct Case {
  std::string input;
  std::string expected;
};

TEST(QEncoding, EncodesSpecialsAndEightBitBytes) {
  const Case cases[] = {
      {"a b", "a_b"},
      {"a=b?c_d~e", "a=3Db=3Fc=5Fd=7Ee"},
      {"caf\xC3\xA9", "caf=C3=A9"},
      {"\x7F", "=7F"},
      {"tab\there", "tab\there"},  // control characters are copied
  };
  for (const Case& c : cases) EXPECT_EQ(EncodeQ(c.input), c.expected) << c.input;
}

TEST(QEncoding, DecodesEscapesUnderscoresAndCutsShortEscapes) {
  const Case cases[] = {
      {"a_b", "a b"},
      {"caf=C3=A9", "caf\xC3\xA9"},
      {"x=3d", "x="},      // lower-case hex digits read as well
      {"=4G", "\x04"},     // a character that is no hex digit is ignored
      {"=ZZ", std::string(1, '\0')},
      {"ab=4", "ab"},      // fewer than two characters after "=": the rest is dropped
      {"ab=", "ab"},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeQ(c.input), c.expected) << c.input;
}

TEST(QEncoding, RoundTripsEveryByte) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(DecodeQ(EncodeQ(all)), all);
}

TEST(Base64Word, DecodesFinalShortGroupsAndSkipsForeignCharacters) {
  const Case cases[] = {
      {"YWJj", "abc"},
      {"YWI=", "ab"},
      {"YQ==", "a"},
      {"YWI", "ab"},         // no padding needed
      {"Y W\r\nJ j", "abc"}, // blanks and line ends skipped
      {"YQBi", "a"},         // the result ends at its first zero byte
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeBase64Word(c.input), c.expected) << c.input;
}

TEST(Base64Lines, EncodesFiftyFourBytesPerLine) {
  std::string data(120, 'x');
  LineList lines;
  EncodeBase64Lines(data, lines);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].size(), 72u);
  EXPECT_EQ(lines[1].size(), 72u);
  EXPECT_EQ(lines[2], "eHh4eHh4eHh4eHh4");  // 12 bytes
  LineList single;
  EncodeBase64Lines("ab", single);
  EXPECT_EQ(single, LineList{"YWI="});
}

TEST(Base64Lines, EmptyDataGivesOneEmptyLine) {
  LineList lines;
  EncodeBase64Lines("", lines);
  EXPECT_EQ(lines, LineList{""});
}

TEST(Base64Lines, RoundTripsBinaryDataWithZeroBytes) {
  std::string data;
  for (int i = 0; i < 1000; ++i) data.push_back(static_cast<char>(i * 7));
  LineList lines;
  EncodeBase64Lines(data, lines);
  std::string decoded;
  EXPECT_EQ(DecodeBase64Lines(lines, decoded), data.size());
  EXPECT_EQ(decoded, data);
}

TEST(Base64Lines, DecodesEachLineUpToItsFillCharacter) {
  std::string out;
  EXPECT_EQ(DecodeBase64Lines({"YQ==garbage", "YWJj"}, out), 4u);
  EXPECT_EQ(out, "aabc");
}

TEST(Base64Lines, InvalidCharactersAddNoBytes) {
  std::string out;
  EXPECT_EQ(DecodeBase64Lines({"!!!!", "Y!W!J!j"}, out), 3u);
  EXPECT_EQ(out, "abc");
}

TEST(QuotedPrintable, DecodesEscapesSoftBreaksAndMarkers) {
  const Case cases[] = {
      {"caf=E9\r\n", "caf\xE9\r\n"},
      {"long=\r\nline\r\n", "longline\r\n"},
      {"=?utf-8?", "?utf-8?"},     // encoded-word markers lose their "="
      {"a?=bc", "a?bc"},
      {"ends with x", "ends with x"},  // the last character is written too
      {"pending=41", "pendingA"},      // an escape at the very end is written
      {"soft=", "soft"},
  };
  for (const Case& c : cases) {
    std::string out;
    EXPECT_EQ(DecodeQuotedPrintable(c.input, out), c.expected.size()) << c.input;
    EXPECT_EQ(out, c.expected) << c.input;
  }
}

TEST(QuotedPrintable, ToUtf8ConvertsEscapedBytesFromTheCharset) {
  std::string out;
  DecodeQuotedPrintableToUtf8("caf=E9 ok", "iso-8859-1", out);
  EXPECT_EQ(out, "caf\xC3\xA9 ok");
}

TEST(QuotedPrintable, ToUtf8WritesEscapesPendingAtTheEnd) {
  std::string out;
  DecodeQuotedPrintableToUtf8("caf=E9=E9", "iso-8859-1", out);
  EXPECT_EQ(out, "caf\xC3\xA9\xC3\xA9");
}

TEST(QuotedPrintable, ToUtf8LeavesUtf8AndAsciiBytesAsTheyAre) {
  for (const char* charset : {"", "utf-8", "UTF-8", "ascii"}) {
    std::string out;
    DecodeQuotedPrintableToUtf8("=C3=A9=FF", charset, out);
    EXPECT_EQ(out, "\xC3\xA9\xFF") << charset;
  }
}

TEST(QuotedPrintable, EncodedLinesDecodeBackToTheData) {
  std::string data = "a line with trailing blank \r\n" + std::string(200, 'z') + "=\xE9\r\nend";
  LineList lines;
  EncodeQuotedPrintableLines(data, lines);
  for (const std::string& line : lines) EXPECT_LE(line.size(), 76u);
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  std::string out;
  DecodeQuotedPrintable(text, out);
  EXPECT_EQ(out, data + "\r\n");
}

TEST(NumericReferences, ReplacesMultiByteSequences) {
  const Case cases[] = {
      {"caf\xC3\xA9", "caf&#233;"},
      {"\xE2\x82\xAC", "&#8364;"},
      {"\xF0\x9F\x98\x80", "&#128512;"},
      {"<b>&amp;", "<b>&amp;"},  // nothing else is escaped
      {"\xC3", "&#3;"},           // a cut sequence gives the bits it has
  };
  for (const Case& c : cases) EXPECT_EQ(ToNumericReferences(c.input), c.expected) << c.input;
}

TEST(NumericReferences, StrayContinuationByteBecomesReplacementCharacter) {
  EXPECT_EQ(ToNumericReferences("a\x80" "b"), "a&#65533;b");
  EXPECT_EQ(ToNumericReferences("\xC3\xA9\xBF"), "&#233;&#65533;");
}

TEST(EncodedWords, DecodeWordsAnywhereInTheValue) {
  const Case cases[] = {
      {"=?utf-8?Q?Gr=C3=BC=C3=9Fe_aus_Bern?=", "Gr\xC3\xBC\xC3\x9F" "e aus Bern"},
      {"Re: about =?utf-8?B?w6k=?= today", "Re: about \xC3\xA9 today"},
      {"=?ISO-8859-1?q?caf=E9?=", "caf\xC3\xA9"},
      {"=?utf-8?Q?a?= =?utf-8?Q?b?=", "a b"},  // white space between words stays
      {"plain text", "plain text"},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeHeaderText(c.input), c.expected) << c.input;
}

TEST(EncodedWords, ShortWordsInARowDecodeOneByOne) {
  EXPECT_EQ(DecodeHeaderText("=?utf-8?Q?x?= =?utf-8?Q?y?="), "x y");
  EXPECT_EQ(DecodeHeaderText("=?utf-8?Q?x?==?utf-8?Q?y?="), "xy");
}

TEST(EncodedWords, DecodedTextIsNotDecodedAgain) {
  // The decoded text itself looks like an encoded word.
  EXPECT_EQ(DecodeHeaderText("=?utf-8?Q?=3D=3Futf-8=3FQ=3Fz=3F=3D?="), "=?utf-8?Q?z?=");
}

TEST(EncodedWords, UnknownEncodingStaysAsItStood) {
  EXPECT_EQ(DecodeHeaderText("=?utf-8?X?abc?= and =?utf-8?Q?d?="), "=?utf-8?X?abc?= and d");
}

TEST(EncodedWords, UnterminatedWordLeavesTheRestUnchanged) {
  EXPECT_EQ(DecodeHeaderText("=?utf-8?Q?a?= then =?utf-8?Q?open"), "a then =?utf-8?Q?open");
  EXPECT_EQ(DecodeHeaderText("=?"), "=?");
  EXPECT_EQ(DecodeHeaderText("x =?utf-8"), "x =?utf-8");
}

TEST(EncodedWords, EncodeOnlyWhatNeedsIt) {
  EXPECT_EQ(EncodeHeaderText("plain ascii"), "plain ascii");
  EXPECT_EQ(EncodeHeaderText("tab\tin"), "=?utf-8?Q?tab\tin?=");
  EXPECT_EQ(EncodeHeaderText("caf\xC3\xA9 au lait"), "=?utf-8?Q?caf=C3=A9_au_lait?=");
  EXPECT_TRUE(NeedsEncoding("\xC3\xA9"));
  EXPECT_FALSE(NeedsEncoding("tab\t"));
}

TEST(EncodedWords, EncodedTextDecodesBack) {
  const std::string text = "Gr\xC3\xBC\xC3\x9F" "e = ? _ ~ end";
  EXPECT_EQ(DecodeHeaderText(EncodeHeaderText(text)), text);
}

}  // namespace
}  // namespace mime
