// Property values converted into variants, type by type, and FILETIME into date-time values.
#include "libs/mapi/prop_variant.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "libs/mapi/mapi_codes.h"
#include "libs/mapi/mapi_tags.h"

namespace dispatch {
// Readable failure messages: the kind, then the value as text where it has one.
void PrintTo(const TVariant& v, std::ostream* os) {
  *os << VarTypeName(v.vt());
  if (v.IsArray()) {
    *os << "[";
    for (std::size_t i = 0; i < v.Count(); ++i) {
      if (i) *os << ", ";
      PrintTo(v[i], os);
    }
    *os << "]";
  } else if (!v.IsEmpty()) {
    *os << " " << v.ToString();
  }
}
}  // namespace dispatch

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

TVariant ArrayOf(std::vector<TVariant> elements, dispatch::VARTYPE kind) {
  return TVariant::Array(std::move(elements), kind);
}

FILETIME FileTime(std::uint64_t ticks) {
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

// Ticks of a UTC instant given as days since 30 December 1899 and milliseconds.
std::uint64_t TicksOf(std::uint64_t days_since_1899, std::uint64_t milliseconds) {
  constexpr std::uint64_t kDays1601To1899 = 109205;
  return ((kDays1601To1899 + days_since_1899) * 86400000 + milliseconds) * 10000;
}

TEST(PropValueToVariantTest, NoValueLeavesTheVariantEmpty) {
  TVariant out(7);
  mapi::PropValueToVariant(nullptr, out);
  EXPECT_TRUE(out.IsEmpty());
}

TEST(PropValueToVariantTest, UnlistedTypesGiveEmpty) {
  EXPECT_TRUE(Convert(Prop(PT_UNSPECIFIED)).IsEmpty());
  EXPECT_TRUE(Convert(Prop(0x0049)).IsEmpty());
  EXPECT_TRUE(Convert(Prop(MV_FLAG | PT_BOOLEAN)).IsEmpty());
}

TEST(PropValueToVariantTest, ScalarsKeepKindAndValue) {
  SPropValue null_value = Prop(PT_NULL), object = Prop(PT_OBJECT), i2 = Prop(PT_I2),
             i4 = Prop(PT_LONG), i8 = Prop(PT_I8), r4 = Prop(PT_R4), r8 = Prop(PT_DOUBLE),
             cur = Prop(PT_CURRENCY), at = Prop(PT_APPTIME);
  null_value.Value.x = -5;
  object.Value.x = 0x1234;
  i2.Value.i = -32768;
  i4.Value.l = -2147483647 - 1;
  i8.Value.li.QuadPart = -(std::int64_t{1} << 40);
  r4.Value.flt = 1.5f;
  r8.Value.dbl = -2.25;
  cur.Value.cur.int64 = 123456789;  // 12345.6789
  at.Value.at = 36526.5;

  EXPECT_EQ(Convert(null_value), TVariant(std::int32_t{-5}));
  EXPECT_EQ(Convert(object), TVariant(std::int32_t{0x1234}));
  EXPECT_EQ(Convert(i2), TVariant(std::int16_t{-32768}));
  EXPECT_EQ(Convert(i4), TVariant(std::int32_t{-2147483647 - 1}));
  EXPECT_EQ(Convert(i8), TVariant(-(std::int64_t{1} << 40)));
  EXPECT_EQ(Convert(r4), TVariant(1.5f));
  EXPECT_EQ(Convert(r8), TVariant(-2.25));
  EXPECT_EQ(Convert(cur), TVariant(dispatch::Currency{123456789}));
  EXPECT_EQ(Convert(at), TVariant::Date(36526.5));
}

TEST(PropValueToVariantTest, ErrorGivesTheCodeAsI4) {
  SPropValue error = Prop(PT_ERROR);
  error.Value.err = MAPI_E_NOT_FOUND;
  EXPECT_EQ(Convert(error), TVariant(static_cast<std::int32_t>(0x8004010F)));
}

TEST(PropValueToVariantTest, BooleanKeepsTheStoredValue) {
  SPropValue yes = Prop(PT_BOOLEAN), no = Prop(PT_BOOLEAN), other = Prop(PT_BOOLEAN);
  yes.Value.b = 1;
  no.Value.b = 0;
  other.Value.b = 0x100;

  TVariant one = Convert(yes);
  EXPECT_EQ(one.vt(), dispatch::VT_BOOL);
  EXPECT_EQ(one.ToInt(), 1);  // the stored 1, not the automation true of -1
  EXPECT_TRUE(one.ToBool());
  EXPECT_EQ(Convert(no).ToInt(), 0);
  EXPECT_FALSE(Convert(no).ToBool());
  EXPECT_EQ(Convert(other).ToInt(), 0x100);
}

TEST(PropValueToVariantTest, String8IsReadAsUtf8AndUnicodeCopied) {
  char narrow[] =
      "Gr\xC3\xBC\xC3\x9F"
      "e \xE2\x82\xAC";  // "Grüße €"
  char16_t wide[] = u"\U0001F600 mail";
  SPropValue a = Prop(PT_STRING8), w = Prop(PT_UNICODE);
  a.Value.lpszA = narrow;
  w.Value.lpszW = wide;

  EXPECT_EQ(Convert(a), TVariant(u"Gr\u00FC\u00DFe \u20AC"));
  EXPECT_EQ(Convert(w), TVariant(u"\U0001F600 mail"));
  EXPECT_EQ(Convert(Prop(PT_STRING8)), TVariant(u""));  // no text at all
  EXPECT_EQ(Convert(Prop(PT_UNICODE)), TVariant(u""));
}

TEST(PropValueToVariantTest, SysTimeGivesTheRawTickCount) {
  SPropValue value = Prop(PT_SYSTIME);
  value.Value.ft = FILETIME{0x89ABCDEF, 0x01D5E3F1};
  EXPECT_EQ(Convert(value), TVariant((std::int64_t{0x01D5E3F1} << 32) + 0x89ABCDEF));
}

TEST(PropValueToVariantTest, ClsidGivesBracedUpperCaseText) {
  GUID guid{0x0002030C, 0xAB, 0xcdef, {0xC0, 0, 0, 0, 0, 0, 0x0a, 0x46}};
  SPropValue value = Prop(PT_CLSID);
  value.Value.lpguid = &guid;
  EXPECT_EQ(Convert(value), TVariant("{0002030C-00AB-CDEF-C000-000000000A46}"));
  EXPECT_TRUE(Convert(Prop(PT_CLSID)).IsEmpty());  // no GUID at all
}

TEST(PropValueToVariantTest, BinaryOfThreeBytesGivesThreeUi1Elements) {
  BYTE bytes[] = {0x00, 0x7F, 0xFF};
  SPropValue value = Prop(PT_BINARY);
  value.Value.bin = SBinary{3, bytes};

  const TVariant v = Convert(value);
  EXPECT_EQ(v,
            ArrayOf({std::uint8_t{0}, std::uint8_t{0x7F}, std::uint8_t{0xFF}}, dispatch::VT_UI1));
  EXPECT_EQ(v[2].vt(), dispatch::VT_UI1);
  EXPECT_EQ(Convert(Prop(PT_BINARY)), ArrayOf({}, dispatch::VT_UI1));
}

TEST(PropValueToVariantTest, MultiValuedNumbersKeepOrderAndKind) {
  SHORT shorts[] = {1, -2};
  LONG longs[] = {10, 20, 30};
  FLOAT floats[] = {0.5f};
  double doubles[] = {1.25, 2.5};
  LARGE_INTEGER bigs[2];
  bigs[0].QuadPart = std::int64_t{1} << 50;
  bigs[1].QuadPart = -1;
  CURRENCY amounts[1];
  amounts[0].int64 = 15000;  // 1.5
  SPropValue mvi = Prop(PT_MV_I2), mvl = Prop(PT_MV_LONG), mvf = Prop(PT_MV_R4),
             mvd = Prop(PT_MV_DOUBLE), mv8 = Prop(PT_MV_I8), mvc = Prop(PT_MV_CURRENCY);
  mvi.Value.MVi = {2, shorts};
  mvl.Value.MVl = {3, longs};
  mvf.Value.MVflt = {1, floats};
  mvd.Value.MVdbl = {2, doubles};
  mv8.Value.MVli = {2, bigs};
  mvc.Value.MVcur = {1, amounts};

  using namespace dispatch;
  EXPECT_EQ(Convert(mvi), ArrayOf({std::int16_t{1}, std::int16_t{-2}}, VT_I2));
  EXPECT_EQ(Convert(mvl), ArrayOf({10, 20, 30}, VT_I4));
  EXPECT_EQ(Convert(mvf), ArrayOf({0.5f}, VT_R4));
  EXPECT_EQ(Convert(mvd), ArrayOf({1.25, 2.5}, VT_R8));
  EXPECT_EQ(Convert(mv8), ArrayOf({std::int64_t{1} << 50, std::int64_t{-1}}, VT_I8));
  // Currency values stay raw counts of ten-thousandths.
  EXPECT_EQ(Convert(mvc), ArrayOf({std::int64_t{15000}}, VT_I8));
}

TEST(PropValueToVariantTest, MultiValuedTimesGiveDates) {
  double app_times[] = {0.25};
  FILETIME file_times[] = {FileTime(TicksOf(36526, 43200000)), FileTime(TicksOf(0, 0))};
  SPropValue at = Prop(PT_MV_APPTIME), ft = Prop(PT_MV_SYSTIME);
  at.Value.MVat = {1, app_times};
  ft.Value.MVft = {2, file_times};

  EXPECT_EQ(Convert(at), ArrayOf({TVariant::Date(0.25)}, dispatch::VT_DATE));
  EXPECT_EQ(Convert(ft),
            ArrayOf({TVariant::Date(36526.5), TVariant::Date(0.0)}, dispatch::VT_DATE));
}

TEST(PropValueToVariantTest, MultiValuedStringsConvertEachElement) {
  char first[] = "caf\xC3\xA9";
  char second[] = "";
  LPSTR narrow[] = {first, second};
  char16_t wide_first[] = u"\u00C5se";
  LPWSTR wide[] = {wide_first};
  SPropValue mva = Prop(PT_MV_STRING8), mvw = Prop(PT_MV_UNICODE);
  mva.Value.MVszA = {2, narrow};
  mvw.Value.MVszW = {1, wide};

  EXPECT_EQ(Convert(mva), ArrayOf({u"caf\u00E9", u""}, dispatch::VT_BSTR));
  EXPECT_EQ(Convert(mvw), ArrayOf({u"\u00C5se"}, dispatch::VT_BSTR));
}

TEST(PropValueToVariantTest, EmptyMultiValuedStringsGiveEmptyArrays) {
  EXPECT_EQ(Convert(Prop(PT_MV_STRING8)), ArrayOf({}, dispatch::VT_BSTR));
  EXPECT_EQ(Convert(Prop(PT_MV_UNICODE)), ArrayOf({}, dispatch::VT_BSTR));
}

TEST(PropValueToVariantTest, MultiValuedClsidGivesTexts) {
  GUID guids[] = {{0x00020307, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}},
                  {0xDEADBEEF, 0x1, 0x2, {1, 2, 3, 4, 5, 6, 7, 8}}};
  SPropValue value = Prop(PT_MV_CLSID);
  value.Value.MVguid = {2, guids};

  EXPECT_EQ(Convert(value), ArrayOf({"{00020307-0000-0000-C000-000000000046}",
                                     "{DEADBEEF-0001-0002-0102-030405060708}"},
                                    dispatch::VT_BSTR));
}

TEST(PropValueToVariantTest, MultiValuedBinaryGivesArraysOfBytes) {
  BYTE one[] = {0xAA};
  BYTE two[] = {0x01, 0x02};
  SBinary values[] = {{1, one}, {2, two}, {0, nullptr}};
  SPropValue value = Prop(PT_MV_BINARY);
  value.Value.MVbin = {3, values};

  using dispatch::VT_UI1;
  EXPECT_EQ(Convert(value),
            ArrayOf({ArrayOf({std::uint8_t{0xAA}}, VT_UI1),
                     ArrayOf({std::uint8_t{1}, std::uint8_t{2}}, VT_UI1), ArrayOf({}, VT_UI1)},
                    dispatch::VT_VARIANT));
}

TEST(FileTimeToDateTimeTest, EpochOfDateTimeValuesIsZero) {
  EXPECT_EQ(mapi::FileTimeToDateTime(FileTime(TicksOf(0, 0))), 0.0);
}

TEST(FileTimeToDateTimeTest, NoonOfFirstJanuary2000) {
  EXPECT_EQ(mapi::FileTimeToDateTime(FileTime(TicksOf(36526, 43200000))), 36526.5);
}

TEST(FileTimeToDateTimeTest, MillisecondsCountAndFinerTicksDoNot) {
  const std::uint64_t ticks = TicksOf(1, 1500) + 9999;  // + 0.9999 ms
  EXPECT_DOUBLE_EQ(mapi::FileTimeToDateTime(FileTime(ticks)), 1.0 + 1500.0 / 86400000.0);
}

TEST(FileTimeToDateTimeTest, FirstJanuary1601) {
  EXPECT_EQ(mapi::FileTimeToDateTime(FileTime(0)), -109205.0);
}

// Before 30 December 1899 the time of day counts away from it too: the day is the integer part.
TEST(FileTimeToDateTimeTest, TimesOfDayBefore1900CountAwayFromTheEpoch) {
  constexpr std::uint64_t kDays1601To1899 = 109205;
  const auto before = [](std::uint64_t days_back, std::uint64_t milliseconds) {
    return FileTime(((kDays1601To1899 - days_back) * 86400000 + milliseconds) * 10000);
  };
  EXPECT_EQ(mapi::FileTimeToDateTime(before(1, 43200000)), -1.5);   // 29 Dec 1899 12:00
  EXPECT_EQ(mapi::FileTimeToDateTime(before(1, 0)), -1.0);          // 29 Dec 1899 00:00
  EXPECT_EQ(mapi::FileTimeToDateTime(before(2, 64800000)), -2.75);  // 28 Dec 1899 18:00
  EXPECT_EQ(mapi::FileTimeToDateTime(FileTime(21600000ull * 10000)), -109205.25);  // 1601 06:00
}

TEST(FileTimeToDateTimeTest, ValuesAtOrAbove2To63HaveNoDateAndGiveZero) {
  EXPECT_EQ(mapi::FileTimeToDateTime(FILETIME{0, 0x80000000}), 0.0);
  EXPECT_EQ(mapi::FileTimeToDateTime(FILETIME{0xFFFFFFFF, 0xFFFFFFFF}), 0.0);
  EXPECT_GT(mapi::FileTimeToDateTime(FILETIME{0xFFFFFFFF, 0x7FFFFFFF}), 2.9e6);
}

}  // namespace
