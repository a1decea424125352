// Variant values: the kind each C++ value takes, conversions between kinds (rounding, ranges,
// text forms), wide-string conversion of UTF-8, and arrays indexed from 0.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/os/clock.h"
#include "support/diag/error.h"
#include "support/dispatch/variant.h"
#include "support/dispatch/wide_text.h"

namespace {

using dispatch::TVariant;

TEST(VariantKind, EachValueTakesItsKind) {
  EXPECT_EQ(TVariant().vt(), dispatch::VT_EMPTY);
  EXPECT_EQ(TVariant(true).vt(), dispatch::VT_BOOL);
  EXPECT_EQ(TVariant(std::int16_t{1}).vt(), dispatch::VT_I2);
  EXPECT_EQ(TVariant(1).vt(), dispatch::VT_I4);
  EXPECT_EQ(TVariant(std::uint8_t{1}).vt(), dispatch::VT_UI1);
  EXPECT_EQ(TVariant(std::int64_t{1}).vt(), dispatch::VT_I8);
  EXPECT_EQ(TVariant(std::uint32_t{1}).vt(), dispatch::VT_I8);  // keeps values above 2^31
  EXPECT_EQ(TVariant(1.0f).vt(), dispatch::VT_R4);
  EXPECT_EQ(TVariant(1.0).vt(), dispatch::VT_R8);
  EXPECT_EQ(TVariant(dispatch::Currency{15000}).vt(), dispatch::VT_CY);
  EXPECT_EQ(TVariant::Date(1.5).vt(), dispatch::VT_DATE);
  EXPECT_EQ(TVariant(nullptr).vt(), dispatch::VT_DISPATCH);
  EXPECT_EQ(TVariant::Array({}).vt(), dispatch::VT_ARRAY | dispatch::VT_VARIANT);
}

TEST(VariantKind, TextOfEveryFormIsAWideString) {
  EXPECT_EQ(TVariant("abc").vt(), dispatch::VT_BSTR);  // not a bool
  EXPECT_EQ(TVariant(std::string("abc")).vt(), dispatch::VT_BSTR);
  EXPECT_EQ(TVariant(u"abc").vt(), dispatch::VT_BSTR);
  EXPECT_EQ(TVariant("abc").ToWide(), u"abc");
}

TEST(VariantText, Utf8AndWideRoundTrip) {
  const std::string utf8 =
      "Gr\xC3\xBC\xC3\x9F"
      "e \xE2\x82\xAC \xF0\x9F\x98\x80";  // Grüße € 😀
  const TVariant value(utf8);
  EXPECT_EQ(value.ToWide(), u"Grüße € \U0001F600");
  EXPECT_EQ(value.ToWide().size(), 10u);  // 8 characters and the emoji as a surrogate pair
  EXPECT_EQ(value.ToString(), utf8);
}

TEST(VariantText, MalformedInputBecomesReplacementAndGoesOn) {
  EXPECT_EQ(dispatch::Utf8ToWide("a\x80"
                                 "b"),
            u"a\uFFFDb");
  EXPECT_EQ(dispatch::Utf8ToWide("a\xC3"
                                 "b"),
            u"a\uFFFDb");                                        // lead without continuation
  EXPECT_EQ(dispatch::Utf8ToWide("\xE2\x82"), u"\uFFFD\uFFFD");  // cut short at the end
  EXPECT_EQ(dispatch::Utf8ToWide("\xC0\xAF"), u"\uFFFD\uFFFD");  // overlong
  EXPECT_EQ(dispatch::Utf8ToWide("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
  const char16_t lone[] = {u'x', 0xD800, u'y', 0};
  EXPECT_EQ(dispatch::WideToUtf8(lone), "x\xEF\xBF\xBDy");
  const char16_t reversed[] = {0xDC00, 0xD800, 0};
  EXPECT_EQ(dispatch::WideToUtf8(reversed), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(VariantToInt, RoundsHalfToEven) {
  EXPECT_EQ(TVariant(2.5).ToInt(), 2);
  EXPECT_EQ(TVariant(3.5).ToInt(), 4);
  EXPECT_EQ(TVariant(-2.5).ToInt(), -2);
  EXPECT_EQ(TVariant(2.6f).ToInt(), 3);
  EXPECT_EQ(TVariant(u"3.5").ToInt(), 4);
  EXPECT_EQ(TVariant(dispatch::Currency{12345}).ToInt(), 1);
  EXPECT_EQ(TVariant(dispatch::Currency{25000}).ToInt(), 2);
}

TEST(VariantToInt, TextBoolAndEmpty) {
  EXPECT_EQ(TVariant(u"  42 ").ToInt(), 42);
  EXPECT_EQ(TVariant(u"-7").ToInt(), -7);
  EXPECT_EQ(TVariant(u"+7").ToInt(), 7);
  EXPECT_EQ(TVariant(true).ToInt(), -1);
  EXPECT_EQ(TVariant(false).ToInt(), 0);
  EXPECT_EQ(TVariant().ToInt(), 0);
}

TEST(VariantToInt, WhatIsNoNumberOrTooLargeRaises) {
  EXPECT_THROW(TVariant(u"abc").ToInt(), diag::EPlError);
  EXPECT_THROW(TVariant(u"12abc").ToInt(), diag::EPlError);
  EXPECT_THROW(TVariant(u"").ToInt(), diag::EPlError);
  EXPECT_THROW(TVariant(3e10).ToInt(), diag::EPlError);
  EXPECT_EQ(TVariant(3e10).ToInt64(), 30000000000);
  EXPECT_THROW(TVariant(std::int64_t{1} << 40).ToInt(), diag::EPlError);
  EXPECT_THROW(TVariant(1e300).ToInt64(), diag::EPlError);
  EXPECT_THROW(TVariant(9223372036854775808.0).ToInt64(), diag::EPlError);
  EXPECT_THROW(TVariant(nullptr).ToInt(), diag::EPlError);
  EXPECT_THROW(TVariant::Array({TVariant(1)}).ToInt(), diag::EPlError);
}

TEST(VariantToString, TextFormsOfEachKind) {
  EXPECT_EQ(TVariant().ToString(), "");
  EXPECT_EQ(TVariant(-42).ToString(), "-42");
  EXPECT_EQ(TVariant(std::uint8_t{255}).ToString(), "255");
  EXPECT_EQ(TVariant(true).ToString(), "True");
  EXPECT_EQ(TVariant(false).ToString(), "False");
  EXPECT_EQ(TVariant(0.1).ToString(), "0.1");
  EXPECT_EQ(TVariant(0.1f).ToString(), "0.1");
  EXPECT_EQ(TVariant(dispatch::Currency{15000}).ToString(), "1.5");
  EXPECT_EQ(TVariant::Date(36526.75).ToString(), "2000-01-01 18:00:00");
  EXPECT_THROW(TVariant(nullptr).ToString(), diag::EPlError);
}

TEST(VariantToBool, NumbersAndWords) {
  EXPECT_TRUE(TVariant(u"true").ToBool());
  EXPECT_FALSE(TVariant(u"FALSE").ToBool());
  EXPECT_FALSE(TVariant(u"0").ToBool());
  EXPECT_TRUE(TVariant(u"2").ToBool());
  EXPECT_TRUE(TVariant(0.5).ToBool());
  EXPECT_FALSE(TVariant().ToBool());
  EXPECT_THROW(TVariant(u"yes").ToBool(), diag::EPlError);
}

TEST(VariantToDouble, CurrencyAndText) {
  EXPECT_DOUBLE_EQ(TVariant(dispatch::Currency{-12345}).ToDouble(), -1.2345);
  EXPECT_DOUBLE_EQ(TVariant(u"1e3").ToDouble(), 1000.0);
  EXPECT_THROW(TVariant(u"nan").ToDouble(), diag::EPlError);
  EXPECT_EQ(TVariant(1.23456).ToCurrency().scaled, 12346);
}

TEST(VariantToDate, TextInTheDiagnosticsForm) {
  EXPECT_DOUBLE_EQ(TVariant(u"2000-01-01 18:00").ToDate(), 36526.75);
  EXPECT_DOUBLE_EQ(TVariant(u"1899-12-30").ToDate(), 0.0);
  EXPECT_DOUBLE_EQ(TVariant(u"36526.5").ToDate(), 36526.5);
  EXPECT_THROW(TVariant(u"2000-13-01").ToDate(), diag::EPlError);
}

TEST(VariantChangeType, RangesOfTheNarrowKinds) {
  EXPECT_EQ(TVariant(255).ChangeType(dispatch::VT_UI1).vt(), dispatch::VT_UI1);
  EXPECT_THROW(TVariant(256).ChangeType(dispatch::VT_UI1), diag::EPlError);
  EXPECT_THROW(TVariant(-1).ChangeType(dispatch::VT_UI1), diag::EPlError);
  EXPECT_EQ(TVariant(-32768).ChangeType(dispatch::VT_I2).ToInt(), -32768);
  EXPECT_THROW(TVariant(32768).ChangeType(dispatch::VT_I2), diag::EPlError);
  EXPECT_EQ(TVariant(u"12").ChangeType(dispatch::VT_I4), TVariant(12));
  EXPECT_EQ(TVariant(12).ChangeType(dispatch::VT_BSTR), TVariant(u"12"));
  EXPECT_EQ(TVariant(5).ChangeType(dispatch::VT_VARIANT), TVariant(5));
}

TEST(VariantArray, IndexedFromZeroWithTypedElements) {
  const TVariant array =
      TVariant::Array({TVariant(u"1"), TVariant(2.0), TVariant(true)}, dispatch::VT_I4);
  EXPECT_EQ(array.vt(), dispatch::VT_ARRAY | dispatch::VT_I4);
  EXPECT_TRUE(array.IsArray());
  EXPECT_EQ(array.ElementType(), dispatch::VT_I4);
  ASSERT_EQ(array.Count(), 3u);
  EXPECT_EQ(array[0], TVariant(1));
  EXPECT_EQ(array[1], TVariant(2));
  EXPECT_EQ(array[2], TVariant(-1));
  EXPECT_THROW(array[3], diag::EPlError);
}

TEST(VariantArray, MixedArraysKeepEachKindAndConvertAsAWhole) {
  const TVariant mixed = TVariant::Array({TVariant(1), TVariant(u"two")});
  EXPECT_EQ(mixed[1].vt(), dispatch::VT_BSTR);
  const TVariant texts = mixed.ChangeType(dispatch::VT_ARRAY | dispatch::VT_BSTR);
  EXPECT_EQ(texts[0], TVariant(u"1"));
  EXPECT_THROW(mixed.ChangeType(dispatch::VT_ARRAY | dispatch::VT_I4), diag::EPlError);
  EXPECT_THROW(mixed.ChangeType(dispatch::VT_BSTR), diag::EPlError);
  EXPECT_THROW(TVariant(1).Elements(), diag::EPlError);
  EXPECT_THROW(TVariant(1).ChangeType(dispatch::VT_ARRAY | dispatch::VT_I4), diag::EPlError);
}

TEST(VariantEquality, KindAndValueBothCount) {
  EXPECT_EQ(TVariant(1), TVariant(1));
  EXPECT_NE(TVariant(1), TVariant(std::int64_t{1}));
  EXPECT_NE(TVariant(1.0), TVariant::Date(1.0));
  EXPECT_EQ(TVariant::Array({TVariant(1)}), TVariant::Array({TVariant(1)}));
  EXPECT_NE(TVariant::Array({TVariant(1)}), TVariant::Array({TVariant(2)}));
}

}  // namespace
