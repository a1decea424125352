// Header text codecs: Q and B words, base64 and quoted-printable bodies, numeric references.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "mime/base64_codec.h"
#include "mime/base64_kernels.h"
#include "mime/encoded_words.h"
#include "mime/numeric_references.h"
#include "mime/quoted_printable_codec.h"
#include "support/charset/charset_registry.h"

#include <filesystem>

namespace mime {
namespace {

struct Case {
  std::string input;
  std::string expected;
};

void ExpectAll(const std::function<std::string(const std::string&)>& codec,
               std::initializer_list<Case> cases) {
  for (const Case& c : cases)
    EXPECT_EQ(codec(c.input), c.expected) << testing::PrintToString(c.input);
}

std::string Qp(const std::string& text) {
  std::string out;
  size_t count = DecodeQuotedPrintable(text, out);
  EXPECT_EQ(count, out.size());
  return out;
}

TEST(QEncoding, EncodesAndDecodes) {
  ExpectAll(EncodeQ, {{"a b", "a_b"},
                      {"a=b?c_d~e", "a=3Db=3Fc=5Fd=7Ee"},
                      {"caf\xC3\xA9\x7F", "caf=C3=A9=7F"},
                      {"tab\there", "tab\there"}});
  ExpectAll(DecodeQ, {{"a_b", "a b"},
                      {"caf=C3=A9", "caf\xC3\xA9"},
                      {"x=3d", "x="},
                      {"=4G", "\x04"},  // a character that is no hex digit is ignored
                      {"=ZZ", std::string(1, '\0')},
                      {"ab=4", "ab"},
                      {"ab=", "ab"}});  // a short escape drops the rest
}

TEST(Base64Word, DecodesShortGroupsSkipsForeignCharactersStopsAtZero) {
  ExpectAll(DecodeBase64Word, {{"YWJj", "abc"},
                               {"YWI=", "ab"},
                               {"YQ==", "a"},
                               {"YWI", "ab"},
                               {"Y W\r\nJ j", "abc"},
                               {"YQBi", "a"},
                               {"", ""}});
}

TEST(Base64Lines, FiftyFourBytesPerLineAndOneEmptyLineForNoData) {
  LineList lines;
  EncodeBase64Lines(std::string(120, 'x'), lines);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].size(), 72u);
  EXPECT_EQ(lines[2], "eHh4eHh4eHh4eHh4");
  LineList empty;
  EncodeBase64Lines("", empty);
  EXPECT_EQ(empty, LineList{""});
}

TEST(Base64Lines, RoundTripsBinaryDataWithZeroBytesInFullLines) {
  // Sizes below, at and across the encoder's internal block of 256 lines.
  for (size_t size : {1000, 54 * 256, 54 * 256 * 2 + 37}) {
    std::string data;
    for (size_t i = 0; i < size; ++i) data.push_back(static_cast<char>(i * 7 + i / 251));
    LineList lines;
    EncodeBase64Lines(data, lines);
    ASSERT_EQ(lines.size(), (size + 53) / 54) << size;
    for (size_t i = 0; i + 1 < lines.size(); ++i)
      ASSERT_EQ(lines[i].size(), 72u) << size << " " << i;
    EXPECT_EQ(lines.back().size(), (size % 54 == 0 ? 54 : size % 54 + 2) / 3 * 4) << size;
    std::string decoded;
    EXPECT_EQ(DecodeBase64Lines(lines, decoded), data.size()) << size;
    EXPECT_EQ(decoded, data) << size;
  }
}

TEST(Base64Lines, EachLineEndsAtItsFillCharacterAndJunkAddsNoBytes) {
  std::string out;
  EXPECT_EQ(DecodeBase64Lines({"YQ==garbage", "!!!!", "Y!W!J!j"}, out), 4u);
  EXPECT_EQ(out, "aabc");
}

TEST(QuotedPrintable, DecodesToTheLastCharacter) {
  ExpectAll(Qp, {{"caf=E9\r\n", "caf\xE9\r\n"},
                 {"long=\r\nline\r\n", "longline\r\n"},
                 {"=?utf-8?", "?utf-8?"},
                 {"a?=bc", "a?bc"},  // encoded-word markers lose their "="
                 {"ends with x", "ends with x"},
                 {"pending=41", "pendingA"},
                 {"soft=", "soft"}});
}

TEST(QuotedPrintable, ToUtf8ConvertsEscapedBytesAndWritesThoseStillPending) {
  auto latin1 = [](const std::string& text) {
    std::string out;
    DecodeQuotedPrintableToUtf8(text, "iso-8859-1", out);
    return out;
  };
  ExpectAll(latin1, {{"caf=E9 ok", "caf\xC3\xA9 ok"}, {"caf=E9=E9", "caf\xC3\xA9\xC3\xA9"}});
  for (const char* charset : {"", "UTF-8", "ascii"}) {
    std::string out;
    DecodeQuotedPrintableToUtf8("=C3=A9=FF", charset, out);
    EXPECT_EQ(out, "\xC3\xA9\xFF") << charset;
  }
}

TEST(QuotedPrintable, ToUtf8KeepsAMultiByteCharacterWholeInALongEscapedRun) {
  if (!std::filesystem::exists(std::string(PST2XMZ_BIN_DIR) + "/codepages.chl"))
    GTEST_SKIP() << "codepages.chl is not built";
  auto& registry = charset::TPlCharsetRegistry::Instance();
  registry.ResetForTesting({PST2XMZ_BIN_DIR});
  std::string text;
  for (int i = 0; i < 1023; ++i) text += "=41";
  text += "=82=A0";  // HIRAGANA LETTER A in Shift_JIS, its bytes at positions 1023 and 1024
  std::string out;
  DecodeQuotedPrintableToUtf8(text, "shift_jis", out);
  registry.ResetForTesting(charset::TPlCharsetRegistry::DefaultLibraryDirectories());
  EXPECT_EQ(out, std::string(1023, 'A') + "\xE3\x81\x82");
}

TEST(QuotedPrintable, EncodedLinesDecodeBackToTheData) {
  for (const std::string& data :
       {"a line with trailing blank \r\n" + std::string(200, 'z') + "=\xE9\r\nend",
        std::string(74, 'z') + "=\r\n\r\ntab\t\r\n" + std::string(300, '\xE9') + " \t x\r\n"}) {
    LineList lines;
    EncodeQuotedPrintableLines(data, lines);
    std::string text;
    for (const std::string& line : lines) {
      EXPECT_LE(line.size(), 76u);
      text += line + "\r\n";
    }
    EXPECT_EQ(Qp(text), data.ends_with("\r\n") ? data : data + "\r\n");
    std::string appended = "kept";
    AppendQuotedPrintable(data, appended);
    EXPECT_EQ(appended, "kept" + text);
  }
}

// Random lines of literal bytes, blanks and bytes to escape: every piece is as long as it may be.
TEST(QuotedPrintable, SoftBreaksComeOnlyWhenTheNextCharacterWouldNotFit) {
  std::mt19937 random(7);
  std::string alphabet = "ab =\t!~";
  for (int b = 0; b < 256; ++b) alphabet += static_cast<char>(b);
  for (int round = 0; round < 400; ++round) {
    std::string data;
    const size_t length = random() % 400;
    for (size_t k = 0; k < length; ++k) {
      data += alphabet[random() % (k % 50 < 40 ? 2 : k % 2 ? 7 : alphabet.size())];
    }
    std::erase(data, '\r');  // a line break would end the line early
    std::erase(data, '?');   // the decoder drops the "=" next to a "?" (encoded-word markers)
    std::string text;
    AppendQuotedPrintable(data, text);
    ASSERT_EQ(Qp(text), data.empty() ? "" : data + "\r\n");
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
      const std::string_view line(text.data() + start, end - start);
      ASSERT_LE(line.size(), 76u);
      for (size_t k = 0; k < line.size(); ++k) {
        const auto c = static_cast<unsigned char>(line[k]);
        EXPECT_TRUE((c >= 33 && c <= 126) || ((c == ' ' || c == '\t') && k + 1 < line.size()))
            << static_cast<int>(c) << " in " << line;
        const bool escape =
            c == '=' && k + 2 < line.size() && isxdigit(line[k + 1]) && isxdigit(line[k + 2]);
        EXPECT_TRUE(c != '=' || escape || k + 1 == line.size()) << line;
      }
      if (!line.ends_with('=') || end + 2 == text.size()) continue;
      const size_t next = text[end + 2] == '=' ? 3 : 1;
      EXPECT_GT(line.size() - 1 + next, 75u) << testing::PrintToString(data);
    }
  }
}

TEST(QuotedPrintable, EscapesNeverStraddleASoftBreak) {
  std::string appended;
  AppendQuotedPrintable(std::string(74, 'z') + "=x \r\n\t", appended);
  EXPECT_EQ(appended, std::string(74, 'z') + "=\r\n=3Dx=20\r\n=09\r\n");
  // Blanks inside a line stand for themselves, wherever they fall in a run.
  const std::string blanks = std::string(20, 'a') + "\t" + std::string(20, 'b') + " x\t~";
  appended.clear();
  AppendQuotedPrintable(blanks, appended);
  EXPECT_EQ(appended, blanks + "\r\n");
}

TEST(NumericReferences, MultiByteSequencesAndStrayBytes) {
  ExpectAll(ToNumericReferences, {{"caf\xC3\xA9", "caf&#233;"},
                                  {"\xE2\x82\xAC", "&#8364;"},
                                  {"\xF0\x9F\x98\x80", "&#128512;"},
                                  {"<b>&amp;", "<b>&amp;"},
                                  {"\xC3", "&#3;"},  // a cut sequence keeps its bits
                                  {"a\x80"
                                   "b",
                                   "a&#65533;b"},
                                  {"\xC3\xA9\xBF", "&#233;&#65533;"},
                                  {"\xFF\x80\x80\x80\x80\x80\x81"
                                   "a",
                                   "&#1;a"}});
  // A NUL ends a sequence early and is kept; text after it is read afresh.
  EXPECT_EQ(ToNumericReferences(std::string("\xE2\x82\0\xC3\xA9", 5)),
            std::string("&#130;\0&#233;", 13));
  EXPECT_EQ(ToNumericReferences(std::string("\xC3\0a", 3)), std::string("&#3;\0a", 6));
  // Every code a two-byte sequence carries, overlong ones too; a second byte that is no
  // continuation still gives its low bits.
  for (unsigned code = 0; code < 0x800; ++code) {
    const std::string sequence = {static_cast<char>(0xC0 | code >> 6),
                                  static_cast<char>(0x80 | (code & 0x3F))};
    ASSERT_EQ(ToNumericReferences("x" + sequence), "x&#" + std::to_string(code) + ";") << code;
  }
  EXPECT_EQ(ToNumericReferences(std::string("\xC3") + "a!"), "&#225;!");
}

TEST(NumericReferences, SequencesAnywhereInLongAsciiRuns) {
  for (size_t before = 0; before < 20; ++before) {
    for (size_t after = 0; after < 20; ++after) {
      const std::string head(before, 'a'), tail(after, 'z');
      EXPECT_EQ(ToNumericReferences(head + "\xE2\x82\xAC" + tail), head + "&#8364;" + tail)
          << before << " " << after;
      EXPECT_EQ(ToNumericReferences(head + "\x7F" + tail + "\xC3"), head + "\x7F" + tail + "&#3;")
          << before;
    }
  }
}

TEST(NumericReferences, OutputsLongerThanAnyBufferComeThroughWhole) {
  std::string text, expected;
  for (size_t run : {0, 1, 1023, 1024, 1025, 3000, 7}) {
    for (int k = 0; k < 300; ++k) {
      text += "\xE2\x82\xAC";
      expected += "&#8364;";
    }
    text += std::string(run, 'q');
    expected += std::string(run, 'q');
  }
  EXPECT_EQ(ToNumericReferences(text), expected);
}

TEST(EncodedWords, Decode) {
  ExpectAll(
      DecodeHeaderText,
      {{"=?utf-8?Q?Gr=C3=BC=C3=9Fe_aus_Bern?=",
        "Gr\xC3\xBC\xC3\x9F"
        "e aus Bern"},
       {"Re: about =?utf-8?B?w6k=?= today", "Re: about \xC3\xA9 today"},
       {"=?ISO-8859-1?q?caf=E9?=", "caf\xC3\xA9"},
       {"=?utf-8?Q?x?= =?utf-8?Q?y?=", "xy"},  // white space between adjacent words is not text
       {"=?utf-8?Q?est=C3=A1gio_n?=\r\n\t =?utf-8?B?YSBESVRFQw==?=", "est\xC3\xA1gio na DITEC"},
       {"=?utf-8?Q?a?= b  =?utf-8?Q?c?=", "a b  c"},        // white space next to plain text stays
       {"=?utf-8?X?a?= =?utf-8?Q?b?=", "=?utf-8?X?a?= b"},  // a word not decoded is plain text
       {"=?utf-8?Q?x?==?utf-8?Q?y?=", "xy"},
       {"=?utf-8?Q?=3D=3Futf-8=3FQ=3Fz=3F=3D?=",
        "=?utf-8?Q?z?="},  // decoded text is not decoded again
       {"=?utf-8?X?abc?= and =?utf-8?Q?d?=", "=?utf-8?X?abc?= and d"},  // unknown encoding stays
       {"=?utf-8?Q?a?= then =?utf-8?Q?open", "a then =?utf-8?Q?open"},  // unterminated word
       {"=?", "=?"},
       {"plain text", "plain text"}});
}

TEST(EncodedWords, EncodeOnlyWhatNeedsItAndDecodeBack) {
  ExpectAll(EncodeHeaderText, {{"plain ascii", "plain ascii"},
                               {"tab\tin", "=?utf-8?Q?tab\tin?="},
                               {"caf\xC3\xA9 au lait", "=?utf-8?Q?caf=C3=A9_au_lait?="}});
  EXPECT_TRUE(NeedsEncoding("\xC3\xA9"));
  EXPECT_FALSE(NeedsEncoding("tab\t"));
  const std::string text =
      "Gr\xC3\xBC\xC3\x9F"
      "e = ? _ ~ end";
  EXPECT_EQ(DecodeHeaderText(EncodeHeaderText(text)), text);
}

TEST(EncodedWords, RowOfWordsDecodesToTheWholeTextAndNeverSplitsACharacter) {
  std::string text = "  lead\tand " + std::string(200, 'x');
  for (int i = 0; i < 40; ++i) text += "\xE2\x82\xAC";  // three-byte characters across word ends
  text += " end ";
  const std::string words = EncodeHeaderWords(text);
  EXPECT_EQ(DecodeHeaderText(words), text);
  std::size_t start = 0;
  for (std::size_t end; start <= words.size(); start = end + 1) {
    end = std::min(words.find(' ', start), words.size());
    const std::string word = words.substr(start, end - start);
    EXPECT_LE(word.size(), 75u);
    EXPECT_EQ(word.rfind("=?utf-8?Q?", 0), 0u) << word;
    const std::string decoded = DecodeHeaderText(word);
    const auto leads = std::count(decoded.begin(), decoded.end(), '\xE2');
    const auto high = std::count_if(decoded.begin(), decoded.end(),
                                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    EXPECT_EQ(high, 3 * leads) << word;
  }
}

// Every kernel this processor runs against the portable one: every length from 0 to 300 (all line
// boundaries and last-group sizes), random bytes and each of the 64 alphabet values in every
// position of a line, writing exactly the size announced and nothing beyond it.
class Base64KernelTest : public testing::TestWithParam<Base64Kernel> {
 protected:
  static std::string Encode(const std::string& data, Base64Kernel kernel) {
    std::string out(Base64LineBlockSize(data.size()) + 16, '#');
    char* end = EncodeBase64LineBlock(reinterpret_cast<const unsigned char*>(data.data()),
                                      data.size(), out.data(), kernel);
    EXPECT_EQ(static_cast<std::size_t>(end - out.data()), Base64LineBlockSize(data.size()));
    EXPECT_EQ(out.substr(Base64LineBlockSize(data.size())), std::string(16, '#'));
    out.resize(static_cast<std::size_t>(end - out.data()));
    return out;
  }
};

TEST_P(Base64KernelTest, MatchesThePortableKernel) {
  if (!Base64KernelAvailable(GetParam())) GTEST_SKIP() << "not available on this processor";
  std::mt19937 random(99);
  std::string data(300, '\0');
  for (char& c : data) c = static_cast<char>(random());
  for (std::size_t size = 0; size <= data.size(); ++size) {
    const std::string part = data.substr(0, size);
    ASSERT_EQ(Encode(part, GetParam()), Encode(part, Base64Kernel::kScalar)) << size;
  }
  std::string every_value;  // 0x00 0x10 0x83 ... walks all 64 six-bit values through the groups
  for (int v = 0; v < 64 * 3; ++v) every_value.push_back(static_cast<char>(v * 85 + (v >> 2)));
  EXPECT_EQ(Encode(every_value, GetParam()), Encode(every_value, Base64Kernel::kScalar));
  std::string large(54 * 1024 + 37, '\0');
  for (char& c : large) c = static_cast<char>(random());
  EXPECT_EQ(Encode(large, GetParam()), Encode(large, Base64Kernel::kScalar));
}

TEST(Base64KernelChoice, TheFastestIsAvailableAndEncodesLikeThePortableKernel) {
  EXPECT_TRUE(Base64KernelAvailable(Base64Kernel::kScalar));
  EXPECT_TRUE(Base64KernelAvailable(FastestBase64Kernel()));
  const std::string full(54, '\xff');
  std::string out(Base64LineBlockSize(full.size()), ' ');
  EncodeBase64LineBlock(reinterpret_cast<const unsigned char*>(full.data()), full.size(),
                        out.data(), FastestBase64Kernel());
  EXPECT_EQ(out, std::string(72, '/') + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(AllKernels, Base64KernelTest,
                         testing::Values(Base64Kernel::kSsse3, Base64Kernel::kAvx2),
                         [](const testing::TestParamInfo<Base64Kernel>& info) {
                           return info.param == Base64Kernel::kSsse3 ? std::string("Ssse3")
                                                                     : std::string("Avx2");
                         });

}  // namespace
}  // namespace mime
