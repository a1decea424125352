// Property values converted into variants, type by type, and FILETIME into date-time values.
#include "libs/mapi/prop_variant.h"

#include <gtest/gtest.h>

#include <vector>

#include "libs/mapi/mapi_codes.h"
#include "libs/mapi/mapi_tags.h"

namespace {

using dispatch::TVariant;

SPropValue Prop(ULONG type) {
  SPropValue value{};
  value.ulPropTag = PROP_TAG(type, 0x6001);
  return value;
}

TVariant Convert(const SPropValue& value) {
  TVariant out(12345);  // whatever the variant held must go
  mapi::PropValueToVariant(&value, out);
  return out;
}

FILETIME FileTime(std::uint64_t ticks) {
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

// Ticks of a UTC instant given as days since 1 January 1601 and milliseconds.
std::uint64_t TicksOf(std::uint64_t days_since_1601, std::uint64_t milliseconds) {
  return (days_since_1601 * 86400000 + milliseconds) * 10000;
}

constexpr std::uint64_t kDays1601To1899 = 109205;

TEST(PropValueToVariantTest, NoValueLeavesTheVariantEmpty) {
  TVariant out(7);
  mapi::PropValueToVariant(nullptr, out);
  EXPECT_TRUE(out.IsEmpty());
}

TEST(PropValueToVariantTest, UnlistedTypeGivesEmpty) {
  EXPECT_TRUE(Convert(Prop(PT_UNSPECIFIED)).IsEmpty());
  EXPECT_TRUE(Convert(Prop(0x0049)).IsEmpty());
  EXPECT_TRUE(Convert(Prop(MV_FLAG | PT_BOOLEAN)).IsEmpty());
}

TEST(PropValueToVariantTest, NullAndObjectGiveTheir32BitField) {
  SPropValue null_value = Prop(PT_NULL);
  null_value.Value.x = -5;
  SPropValue object = Prop(PT_OBJECT);
  object.Value.x = 0x1234;

  EXPECT_EQ(Convert(null_value).vt(), dispatch::VT_I4);
  EXPECT_EQ(Convert(null_value).ToInt(), -5);
  EXPECT_EQ(Convert(object).vt(), dispatch::VT_I4);
  EXPECT_EQ(Convert(object).ToInt(), 0x1234);
}

TEST(PropValueToVariantTest, IntegersKeepTheirWidth) {
  SPropValue i2 = Prop(PT_I2);
  i2.Value.i = -32768;
  SPropValue i4 = Prop(PT_LONG);
  i4.Value.l = -2147483647 - 1;
  SPropValue i8 = Prop(PT_I8);
  i8.Value.li.QuadPart = -(std::int64_t{1} << 40);

  EXPECT_EQ(Convert(i2).vt(), dispatch::VT_I2);
  EXPECT_EQ(Convert(i2).ToInt(), -32768);
  EXPECT_EQ(Convert(i4).vt(), dispatch::VT_I4);
  EXPECT_EQ(Convert(i4).ToInt(), -2147483647 - 1);
  EXPECT_EQ(Convert(i8).vt(), dispatch::VT_I8);
  EXPECT_EQ(Convert(i8).ToInt64(), -(std::int64_t{1} << 40));
}

TEST(PropValueToVariantTest, RealsCurrencyAndAppTime) {
  SPropValue r4 = Prop(PT_R4);
  r4.Value.flt = 1.5f;
  SPropValue r8 = Prop(PT_DOUBLE);
  r8.Value.dbl = -2.25;
  SPropValue cur = Prop(PT_CURRENCY);
  cur.Value.cur.int64 = 123456789;  // 12345.6789
  SPropValue at = Prop(PT_APPTIME);
  at.Value.at = 36526.5;

  EXPECT_EQ(Convert(r4).vt(), dispatch::VT_R4);
  EXPECT_EQ(Convert(r4).ToDouble(), 1.5);
  EXPECT_EQ(Convert(r8).vt(), dispatch::VT_R8);
  EXPECT_EQ(Convert(r8).ToDouble(), -2.25);
  EXPECT_EQ(Convert(cur).vt(), dispatch::VT_CY);
  EXPECT_EQ(Convert(cur).ToCurrency().scaled, 123456789);
  EXPECT_EQ(Convert(at).vt(), dispatch::VT_DATE);
  EXPECT_EQ(Convert(at).ToDate(), 36526.5);
}

TEST(PropValueToVariantTest, ErrorGivesTheCodeAsI4) {
  SPropValue error = Prop(PT_ERROR);
  error.Value.err = MAPI_E_NOT_FOUND;
  const TVariant v = Convert(error);
  EXPECT_EQ(v.vt(), dispatch::VT_I4);
  EXPECT_EQ(static_cast<std::uint32_t>(v.ToInt()), 0x8004010Fu);
}

TEST(PropValueToVariantTest, BooleanGivesBool) {
  SPropValue yes = Prop(PT_BOOLEAN);
  yes.Value.b = 1;
  SPropValue no = Prop(PT_BOOLEAN);
  no.Value.b = 0;

  EXPECT_EQ(Convert(yes).vt(), dispatch::VT_BOOL);
  EXPECT_TRUE(Convert(yes).ToBool());
  EXPECT_EQ(Convert(no).vt(), dispatch::VT_BOOL);
  EXPECT_FALSE(Convert(no).ToBool());
}

TEST(PropValueToVariantTest, String8IsReadAsUtf8) {
  char text[] = "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC";  // "Grüße €"
  SPropValue value = Prop(PT_STRING8);
  value.Value.lpszA = text;

  const TVariant v = Convert(value);
  EXPECT_EQ(v.vt(), dispatch::VT_BSTR);
  EXPECT_EQ(v.ToWide(), u"Gr\u00FC\u00DFe \u20AC");
}

TEST(PropValueToVariantTest, UnicodeIsCopied) {
  char16_t text[] = u"\U0001F600 mail";
  SPropValue value = Prop(PT_UNICODE);
  value.Value.lpszW = text;

  const TVariant v = Convert(value);
  EXPECT_EQ(v.vt(), dispatch::VT_BSTR);
  EXPECT_EQ(v.ToWide(), u"\U0001F600 mail");
}

TEST(PropValueToVariantTest, MissingStringPointerGivesEmptyText) {
  SPropValue narrow = Prop(PT_STRING8);
  SPropValue wide = Prop(PT_UNICODE);

  EXPECT_EQ(Convert(narrow).vt(), dispatch::VT_BSTR);
  EXPECT_EQ(Convert(narrow).ToWide(), u"");
  EXPECT_EQ(Convert(wide).ToWide(), u"");
}

TEST(PropValueToVariantTest, SysTimeGivesTheRawTickCount) {
  SPropValue value = Prop(PT_SYSTIME);
  value.Value.ft = FILETIME{0x89ABCDEF, 0x01D5E3F1};

  const TVariant v = Convert(value);
  EXPECT_EQ(v.vt(), dispatch::VT_I8);
  EXPECT_EQ(v.ToInt64(), (std::int64_t{0x01D5E3F1} << 32) + 0x89ABCDEF);
}

TEST(PropValueToVariantTest, ClsidGivesBracedUpperCaseText) {
  GUID guid{0x0002030C, 0xAB, 0xcdef, {0xC0, 0, 0, 0, 0, 0, 0x0a, 0x46}};
  SPropValue value = Prop(PT_CLSID);
  value.Value.lpguid = &guid;

  const TVariant v = Convert(value);
  EXPECT_EQ(v.vt(), dispatch::VT_BSTR);
  EXPECT_EQ(v.ToString(), "{0002030C-00AB-CDEF-C000-000000000A46}");
}

TEST(PropValueToVariantTest, BinaryOfThreeBytesGivesThreeUi1Elements) {
  BYTE bytes[] = {0x00, 0x7F, 0xFF};
  SPropValue value = Prop(PT_BINARY);
  value.Value.bin = SBinary{3, bytes};

  const TVariant v = Convert(value);
  EXPECT_EQ(v.vt(), dispatch::VT_ARRAY | dispatch::VT_UI1);
  ASSERT_EQ(v.Count(), 3u);
  EXPECT_EQ(v[0].ToInt(), 0x00);
  EXPECT_EQ(v[1].ToInt(), 0x7F);
  EXPECT_EQ(v[2].ToInt(), 0xFF);
  EXPECT_EQ(v[2].vt(), dispatch::VT_UI1);
}

TEST(PropValueToVariantTest, EmptyBinaryGivesEmptyArray) {
  SPropValue value = Prop(PT_BINARY);
  const TVariant v = Convert(value);
  EXPECT_EQ(v.vt(), dispatch::VT_ARRAY | dispatch::VT_UI1);
  EXPECT_EQ(v.Count(), 0u);
}

TEST(PropValueToVariantTest, MultiValuedNumbersKeepOrderAndKind) {
  SHORT shorts[] = {1, -2};
  LONG longs[] = {10, 20, 30};
  FLOAT floats[] = {0.5f};
  double doubles[] = {1.25, 2.5};
  LARGE_INTEGER bigs[] = {{}, {}};
  bigs[0].QuadPart = std::int64_t{1} << 50;
  bigs[1].QuadPart = -1;

  SPropValue mvi = Prop(PT_MV_I2);
  mvi.Value.MVi = {2, shorts};
  SPropValue mvl = Prop(PT_MV_LONG);
  mvl.Value.MVl = {3, longs};
  SPropValue mvf = Prop(PT_MV_R4);
  mvf.Value.MVflt = {1, floats};
  SPropValue mvd = Prop(PT_MV_DOUBLE);
  mvd.Value.MVdbl = {2, doubles};
  SPropValue mv8 = Prop(PT_MV_I8);
  mv8.Value.MVli = {2, bigs};

  const TVariant i2 = Convert(mvi), i4 = Convert(mvl), r4 = Convert(mvf), r8 = Convert(mvd),
                 i8 = Convert(mv8);
  EXPECT_EQ(i2.vt(), dispatch::VT_ARRAY | dispatch::VT_I2);
  EXPECT_EQ(i2[1].ToInt(), -2);
  EXPECT_EQ(i4.vt(), dispatch::VT_ARRAY | dispatch::VT_I4);
  ASSERT_EQ(i4.Count(), 3u);
  EXPECT_EQ(i4[0].ToInt(), 10);
  EXPECT_EQ(i4[2].ToInt(), 30);
  EXPECT_EQ(r4.vt(), dispatch::VT_ARRAY | dispatch::VT_R4);
  EXPECT_EQ(r4[0].ToDouble(), 0.5);
  EXPECT_EQ(r8.vt(), dispatch::VT_ARRAY | dispatch::VT_R8);
  EXPECT_EQ(r8[1].ToDouble(), 2.5);
  EXPECT_EQ(i8.vt(), dispatch::VT_ARRAY | dispatch::VT_I8);
  EXPECT_EQ(i8[0].ToInt64(), std::int64_t{1} << 50);
  EXPECT_EQ(i8[1].ToInt64(), -1);
}

TEST(PropValueToVariantTest, MultiValuedCurrencyGivesRawI8) {
  CURRENCY amounts[2];
  amounts[0].int64 = 15000;  // 1.5
  amounts[1].int64 = -1;
  SPropValue value = Prop(PT_MV_CURRENCY);
  value.Value.MVcur = {2, amounts};

  const TVariant v = Convert(value);
  EXPECT_EQ(v.vt(), dispatch::VT_ARRAY | dispatch::VT_I8);
  EXPECT_EQ(v[0].vt(), dispatch::VT_I8);
  EXPECT_EQ(v[0].ToInt64(), 15000);
  EXPECT_EQ(v[1].ToInt64(), -1);
}

TEST(PropValueToVariantTest, MultiValuedTimesGiveDates) {
  double app_times[] = {0.25};
  FILETIME file_times[] = {FileTime(TicksOf(kDays1601To1899 + 36526, 43200000)),
                           FileTime(TicksOf(kDays1601To1899, 0))};
  SPropValue at = Prop(PT_MV_APPTIME);
  at.Value.MVat = {1, app_times};
  SPropValue ft = Prop(PT_MV_SYSTIME);
  ft.Value.MVft = {2, file_times};

  const TVariant ats = Convert(at), fts = Convert(ft);
  EXPECT_EQ(ats.vt(), dispatch::VT_ARRAY | dispatch::VT_DATE);
  EXPECT_EQ(ats[0].ToDate(), 0.25);
  EXPECT_EQ(fts.vt(), dispatch::VT_ARRAY | dispatch::VT_DATE);
  ASSERT_EQ(fts.Count(), 2u);
  EXPECT_EQ(fts[0].ToDate(), 36526.5);
  EXPECT_EQ(fts[1].ToDate(), 0.0);
}

TEST(PropValueToVariantTest, MultiValuedStringsConvertEachElement) {
  char first[] = "caf\xC3\xA9";
  char second[] = "";
  LPSTR narrow[] = {first, second};
  char16_t wide_first[] = u"\u00C5se";
  LPWSTR wide[] = {wide_first};
  SPropValue mva = Prop(PT_MV_STRING8);
  mva.Value.MVszA = {2, narrow};
  SPropValue mvw = Prop(PT_MV_UNICODE);
  mvw.Value.MVszW = {1, wide};

  const TVariant a = Convert(mva), w = Convert(mvw);
  EXPECT_EQ(a.vt(), dispatch::VT_ARRAY | dispatch::VT_BSTR);
  ASSERT_EQ(a.Count(), 2u);
  EXPECT_EQ(a[0].ToWide(), u"caf\u00E9");
  EXPECT_EQ(a[1].ToWide(), u"");
  EXPECT_EQ(w.vt(), dispatch::VT_ARRAY | dispatch::VT_BSTR);
  EXPECT_EQ(w[0].ToWide(), u"\u00C5se");
}

TEST(PropValueToVariantTest, EmptyMultiValuedStringsGiveEmptyArrays) {
  SPropValue mva = Prop(PT_MV_STRING8);
  SPropValue mvw = Prop(PT_MV_UNICODE);

  EXPECT_EQ(Convert(mva).vt(), dispatch::VT_ARRAY | dispatch::VT_BSTR);
  EXPECT_EQ(Convert(mva).Count(), 0u);
  EXPECT_EQ(Convert(mvw).vt(), dispatch::VT_ARRAY | dispatch::VT_BSTR);
  EXPECT_EQ(Convert(mvw).Count(), 0u);
}

TEST(PropValueToVariantTest, MultiValuedClsidGivesTexts) {
  GUID guids[] = {{0x00020307, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}},
                  {0xDEADBEEF, 0x1, 0x2, {1, 2, 3, 4, 5, 6, 7, 8}}};
  SPropValue value = Prop(PT_MV_CLSID);
  value.Value.MVguid = {2, guids};

  const TVariant v = Convert(value);
  EXPECT_EQ(v.vt(), dispatch::VT_ARRAY | dispatch::VT_BSTR);
  EXPECT_EQ(v[0].ToString(), "{00020307-0000-0000-C000-000000000046}");
  EXPECT_EQ(v[1].ToString(), "{DEADBEEF-0001-0002-0102-030405060708}");
}

TEST(PropValueToVariantTest, MultiValuedBinaryGivesArraysOfBytes) {
  BYTE one[] = {0xAA};
  BYTE two[] = {0x01, 0x02};
  SBinary values[] = {{1, one}, {2, two}, {0, nullptr}};
  SPropValue value = Prop(PT_MV_BINARY);
  value.Value.MVbin = {3, values};

  const TVariant v = Convert(value);
  EXPECT_EQ(v.vt(), dispatch::VT_ARRAY | dispatch::VT_VARIANT);
  ASSERT_EQ(v.Count(), 3u);
  EXPECT_EQ(v[0].vt(), dispatch::VT_ARRAY | dispatch::VT_UI1);
  EXPECT_EQ(v[0][0].ToInt(), 0xAA);
  ASSERT_EQ(v[1].Count(), 2u);
  EXPECT_EQ(v[1][1].ToInt(), 0x02);
  EXPECT_EQ(v[2].Count(), 0u);
}

TEST(FileTimeToDateTimeTest, EpochOfDateTimeValuesIsZero) {
  EXPECT_EQ(mapi::FileTimeToDateTime(FileTime(TicksOf(kDays1601To1899, 0))), 0.0);
}

TEST(FileTimeToDateTimeTest, NoonOfFirstJanuary2000) {
  EXPECT_EQ(mapi::FileTimeToDateTime(FileTime(TicksOf(kDays1601To1899 + 36526, 43200000))),
            36526.5);
}

TEST(FileTimeToDateTimeTest, MillisecondsCountAndFinerTicksDoNot) {
  const std::uint64_t ticks = TicksOf(kDays1601To1899 + 1, 1500) + 9999;  // + 0.9999 ms
  EXPECT_DOUBLE_EQ(mapi::FileTimeToDateTime(FileTime(ticks)), 1.0 + 1500.0 / 86400000.0);
}

TEST(FileTimeToDateTimeTest, FirstJanuary1601) {
  EXPECT_EQ(mapi::FileTimeToDateTime(FileTime(0)), -static_cast<double>(kDays1601To1899));
}

TEST(FileTimeToDateTimeTest, ValuesAtOrAbove2To63HaveNoDateAndGiveZero) {
  EXPECT_EQ(mapi::FileTimeToDateTime(FILETIME{0, 0x80000000}), 0.0);
  EXPECT_EQ(mapi::FileTimeToDateTime(FILETIME{0xFFFFFFFF, 0xFFFFFFFF}), 0.0);
  EXPECT_GT(mapi::FileTimeToDateTime(FILETIME{0xFFFFFFFF, 0x7FFFFFFF}), 2.9e6);
}

}  // namespace
