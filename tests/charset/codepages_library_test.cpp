// codepages.chl: its names, the single-byte tables (undefined bytes become replacements), the
// multi-byte sets through iconv, and the ISO-8859-1 fallback when the library is absent.
#include <sstream>

#include "support/charset/charset_registry.h"
#include "tests/charset/byte_strings.h"

namespace charset::testing {
namespace {

// Each test points the registry at build/bin, where codepages.chl is built.
class CodePages : public ::testing::Test {
 protected:
  void SetUp() override { TPlCharsetRegistry::Instance().ResetForTesting({PST2XMZ_BIN_DIR}); }
  void TearDown() override {
    TPlCharsetRegistry::Instance().ResetForTesting(TPlCharsetRegistry::DefaultLibraryDirectories());
  }
};

TEST_F(CodePages, LibraryIsFoundAndKept) {
  EXPECT_EQ(TPlCharsetRegistry::Instance().LibraryCount(), 1u);
  for (const char* alias :
       {"windows-1252", "CP1252",  "1252",           "shift_jis",  "SJIS",  "932",    "gb2312",
        "GBK",          "936",     "ks_c_5601-1987", "euc-kr",     "949",   "big5",   "950",
        "iso-8859-2",   "Latin2",  "28592",          "koi8-r",     "20866", "koi8-u", "euc-jp",
        "iso-2022-jp",  "gb18030", "windows-874",    "iso-8859-16"}) {
    const TPlCharsetInfo* info = TPlCharsetRegistry::Instance().Find(alias);
    ASSERT_NE(info, nullptr) << alias;
    EXPECT_NE(info->library, nullptr) << alias;
  }
  // The built-in sets keep their names.
  EXPECT_EQ(TPlCharsetRegistry::Instance().Find("latin1")->library, nullptr);
}

TEST_F(CodePages, Windows1252QuotesBecomeTypographicQuotes) {
  EXPECT_EQ(ConvertHex("1252", "utf8", Bytes({0x93, 0x41, 0x94})),
            Hex(Bytes({0xE2, 0x80, 0x9C, 0x41, 0xE2, 0x80, 0x9D})));
}

TEST_F(CodePages, UndefinedByteIsReplacedAndConversionGoesOn) {
  EXPECT_EQ(ConvertHex("windows-1252", "utf-8", Bytes({0x41, 0x81, 0x42, 0x8D, 0x43})),
            Hex("A?B?C"));
  EXPECT_EQ(ConvertHex("windows-1252", "utf-8", Bytes({0x41, 0x81, 0x42}), kPlDropIllegal),
            Hex("AB"));
}

TEST_F(CodePages, UnencodableCharacterBecomesQuestionMark) {
  EXPECT_EQ(ConvertHex("utf-8", "koi8-r", "\u0416\u20AC"), Hex(Bytes({0xF6, 0x3F})));
  EXPECT_EQ(ConvertHex("utf-8", "shift_jis", "a\U0001F600b"), Hex("a?b"));
}

// The same text both ways through each set.
const ConversionCase kEncodings[] = {
    {"Windows1250", "utf-8", "windows-1250", "\u0141", Bytes({0xA3})},
    {"Windows1251", "utf-8", "windows-1251", "\u0416", Bytes({0xC6})},
    {"Windows1252", "utf-8", "windows-1252", "\u20AC\u2122", Bytes({0x80, 0x99})},
    {"Koi8R", "utf-8", "koi8-r", "\u0416", Bytes({0xF6})},
    {"Iso8859_2", "utf-8", "iso-8859-2", "\u0141", Bytes({0xA3})},
    {"Iso8859_15", "utf-8", "iso-8859-15", "\u20AC", Bytes({0xA4})},
    {"ShiftJis", "utf-8", "shift_jis", "\u65E5\u672C", Bytes({0x93, 0xFA, 0x96, 0x7B})},
    {"EucJp", "utf-8", "euc-jp", "\u65E5\u672C", Bytes({0xC6, 0xFC, 0xCB, 0xDC})},
    {"Gb2312", "utf-8", "gb2312", "\u4E2D\u6587", Bytes({0xD6, 0xD0, 0xCE, 0xC4})},
    {"Korean", "utf-8", "ks_c_5601-1987", "\uD55C", Bytes({0xC7, 0xD1})},
    {"Big5", "utf-8", "big5", "\u4E2D\u6587", Bytes({0xA4, 0xA4, 0xA4, 0xE5})},
    // The stateful set returns to ASCII at the end.
    {"Iso2022Jp", "utf-8", "iso-2022-jp", "\u65E5\u672C",
     Bytes({0x1B, 0x24, 0x42, 0x46, 0x7C, 0x4B, 0x5C, 0x1B, 0x28, 0x42})},
};

class CodePageRoundTrip : public CodePages, public ::testing::WithParamInterface<ConversionCase> {};

TEST_P(CodePageRoundTrip, EncodesAndDecodes) {
  const ConversionCase& c = GetParam();
  ExpectConversion(c);
  EXPECT_EQ(TPlConverter(c.to, c.from).Convert(c.expected), c.input) << c.to;
}

INSTANTIATE_TEST_SUITE_P(Table, CodePageRoundTrip, ::testing::ValuesIn(kEncodings), CaseName);

TEST_F(CodePages, SingleByteSetsDecodeEveryByte) {
  // Every defined byte of these sets maps back to itself.
  for (const char* name : {"windows-1250", "windows-1251", "windows-1253", "windows-1254",
                           "windows-1255", "windows-1256", "windows-1257", "windows-1258",
                           "windows-874", "iso-8859-5", "iso-8859-7", "koi8-u", "iso-8859-11"}) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::string utf8 = TPlConverter(name, "utf-8").Convert(all);
    const std::string back = TPlConverter("utf-8", name).Convert(utf8);
    ASSERT_EQ(back.size(), 256u) << name;
    for (int b = 0; b < 128; ++b) EXPECT_EQ(back[b], static_cast<char>(b)) << name;
    int same = 0;
    for (int b = 128; b < 256; ++b) same += back[b] == static_cast<char>(b);
    EXPECT_GT(same, 64) << name;
  }
}

TEST_F(CodePages, MultiByteInvalidTrailByteConsumesOnlyTheLead) {
  EXPECT_EQ(ConvertHex("shift_jis", "utf-8", Bytes({0x41, 0x81, 0x20, 0x42})), Hex("A? B"));
}

TEST_F(CodePages, MultiByteIncompleteSequenceAtEndIsDropped) {
  EXPECT_EQ(ConvertHex("shift_jis", "utf-8", Bytes({0x41, 0x93})), Hex("A"));
  EXPECT_EQ(ConvertHex("iso-2022-jp", "utf-8", Bytes({0x41, 0x1B, 0x24, 0x42, 0x46})), Hex("A"));
}

// GB18030's four-byte characters, where the system has the set (Wine 8 has not; it is then read
// as ISO-8859-1 like any unknown set).
TEST_F(CodePages, Gb18030FourByteCharacters) {
  if (TPlConverter("gb18030", "utf-8").Convert("\xD6\xD0") != "\u4E2D") {
    GTEST_SKIP() << "the system has no GB18030 conversion";
  }
  ExpectConversion({"Gb18030", "utf-8", "gb18030", "\U0001F600", Bytes({0x94, 0x39, 0xFC, 0x36})});
  EXPECT_EQ(TPlConverter("gb18030", "utf-8").Convert(Bytes({0x94, 0x39, 0xFC, 0x36})),
            "\U0001F600");
  EXPECT_EQ(ConvertHex("gb18030", "utf-8", Bytes({0x41, 0x94, 0x39})), Hex("A"));
}

// ISO-2022-JP keeps its set from one shift to the next, also across calls, and shifts back to
// ASCII for ASCII characters and at the end.
TEST_F(CodePages, Iso2022JpFollowsItsShifts) {
  const std::string mixed = "a\u65E5b\u672C\u65E5\n\u00A5";
  const std::string jis =
      Bytes({0x61, 0x1B, 0x24, 0x42, 0x46, 0x7C, 0x1B, 0x28, 0x42, 0x62, 0x1B, 0x24, 0x42, 0x4B,
             0x5C, 0x46, 0x7C, 0x1B, 0x28, 0x42, 0x0A, 0x1B, 0x28, 0x4A, 0x5C, 0x1B, 0x28, 0x42});
  EXPECT_EQ(ConvertHex("utf-8", "iso-2022-jp", mixed), Hex(jis));
  EXPECT_EQ(TPlConverter("iso-2022-jp", "utf-8").Convert(jis), mixed);
  // ESC $ @ is the older name of the same set; a control passes in it; a line break does not end
  // it.
  EXPECT_EQ(TPlConverter("iso-2022-jp", "utf-8")
                .Convert(Bytes({0x1B, 0x24, 0x40, 0x46, 0x7C, 0x0A, 0x4B, 0x5C})),
            "\u65E5\n\u672C");
  // A byte with the high bit set is no ISO-2022-JP.
  EXPECT_EQ(ConvertHex("iso-2022-jp", "utf-8", Bytes({0x41, 0xA4, 0x42})), Hex("A?B"));
}

TEST_F(CodePages, MultiByteSequenceSplitAcrossReadBlocks) {
  const std::string text = std::string(65535, 'a') + "\u65E5\u672C";
  const std::string sjis = TPlConverter("utf-8", "shift_jis").Convert(text);
  std::istringstream in(sjis);
  std::ostringstream out;
  TPlConverter("shift_jis", "utf-8").ConvertStream(in, out);
  EXPECT_EQ(out.str(), text);
}

TEST(CodePagesAbsent, Windows1252FallsBackToLatin1) {
  TPlCharsetRegistry::Instance().ResetForTesting({});
  EXPECT_EQ(ConvertHex("1252", "utf8", Bytes({0x93})), Hex(Bytes({0xC2, 0x93})));
  EXPECT_EQ(TPlCharsetRegistry::Instance().Find("shift_jis"), nullptr);
  TPlCharsetRegistry::Instance().ResetForTesting(TPlCharsetRegistry::DefaultLibraryDirectories());
}

}  // namespace
}  // namespace charset::testing
