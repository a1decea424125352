// Property value -> variant, by property type.
#include "libs/mapi/prop_variant.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "libs/mapi/mapi_tags.h"
#include "platform/os/ansi_code_page.h"

namespace mapi {
namespace {

using dispatch::TVariant;

constexpr std::uint64_t kTicksPerMillisecond = 10000;
constexpr std::uint64_t kMillisecondsPerDay = 86400000;
// Days from 1 January 1601 to 30 December 1899.
constexpr std::int64_t kDaysFrom1601To1899 = 109205;

std::uint64_t Ticks(const FILETIME& ft) {
  return static_cast<std::uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime;
}

// 8-bit strings are in the system's ANSI code page; the variant's text is read as UTF-8.
TVariant NarrowText(LPCSTR text) {
  if (!text) return TVariant(std::u16string());
  if (os::AnsiCodePage() == os::kUtf8CodePage) return TVariant(std::string_view(text));
  return TVariant(os::AnsiToUtf8(text));
}

TVariant WideText(LPCWSTR text) {
  return text ? TVariant(std::u16string_view(text)) : TVariant(std::u16string());
}

// {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}, upper-case digits.
std::string GuidText(const GUID& g) {
  char text[39];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return text;
}

TVariant GuidVariant(const GUID& g) { return TVariant(GuidText(g)); }

TVariant Bytes(const SBinary& bin) {
  std::vector<TVariant> bytes;
  if (bin.lpb) {
    bytes.reserve(bin.cb);
    for (ULONG i = 0; i < bin.cb; ++i) bytes.emplace_back(bin.lpb[i]);
  }
  return TVariant::Array(std::move(bytes), dispatch::VT_UI1);
}

// An array of kind, one element per value converted by convert; no values give an empty array.
template <typename T, typename Convert>
TVariant ArrayOf(ULONG count, const T* values, dispatch::VARTYPE kind, Convert convert) {
  std::vector<TVariant> elements;
  if (values) {
    elements.reserve(count);
    for (ULONG i = 0; i < count; ++i) elements.push_back(convert(values[i]));
  }
  return TVariant::Array(std::move(elements), kind);
}

TVariant SingleValue(ULONG type, const PV& v) {
  switch (type) {
    case PT_NULL:
    case PT_OBJECT:
      return TVariant(static_cast<std::int32_t>(v.x));
    case PT_I2:
      return TVariant(static_cast<std::int16_t>(v.i));
    case PT_LONG:
      return TVariant(static_cast<std::int32_t>(v.l));
    case PT_R4:
      return TVariant(v.flt);
    case PT_DOUBLE:
      return TVariant(v.dbl);
    case PT_CURRENCY:
      return TVariant(dispatch::Currency{v.cur.int64});
    case PT_APPTIME:
      return TVariant::Date(v.at);
    case PT_ERROR:
      return TVariant(static_cast<std::int32_t>(v.err));
    case PT_BOOLEAN:
      return TVariant::RawBool(static_cast<std::int16_t>(v.b));
    case PT_I8:
      return TVariant(static_cast<std::int64_t>(v.li.QuadPart));
    case PT_STRING8:
      return NarrowText(v.lpszA);
    case PT_UNICODE:
      return WideText(v.lpszW);
    case PT_SYSTIME:
      return TVariant(static_cast<std::int64_t>(Ticks(v.ft)));
    case PT_CLSID:
      return v.lpguid ? GuidVariant(*v.lpguid) : TVariant();
    case PT_BINARY:
      return Bytes(v.bin);
    default:
      return TVariant();
  }
}

TVariant MultipleValues(ULONG type, const PV& v) {
  using namespace dispatch;
  switch (type) {
    case PT_MV_I2:
      return ArrayOf(v.MVi.cValues, v.MVi.lpi, VT_I2, [](SHORT x) { return TVariant(x); });
    case PT_MV_LONG:
      return ArrayOf(v.MVl.cValues, v.MVl.lpl, VT_I4, [](LONG x) { return TVariant(x); });
    case PT_MV_R4:
      return ArrayOf(v.MVflt.cValues, v.MVflt.lpflt, VT_R4, [](FLOAT x) { return TVariant(x); });
    case PT_MV_DOUBLE:
      return ArrayOf(v.MVdbl.cValues, v.MVdbl.lpdbl, VT_R8, [](double x) { return TVariant(x); });
    case PT_MV_CURRENCY:
      return ArrayOf(v.MVcur.cValues, v.MVcur.lpcur, VT_I8, [](const CURRENCY& x) {
        return TVariant(static_cast<std::int64_t>(x.int64));
      });
    case PT_MV_APPTIME:
      return ArrayOf(v.MVat.cValues, v.MVat.lpat, VT_DATE,
                     [](double x) { return TVariant::Date(x); });
    case PT_MV_I8:
      return ArrayOf(v.MVli.cValues, v.MVli.lpli, VT_I8, [](const LARGE_INTEGER& x) {
        return TVariant(static_cast<std::int64_t>(x.QuadPart));
      });
    case PT_MV_STRING8:
      return ArrayOf(v.MVszA.cValues, v.MVszA.lppszA, VT_BSTR, NarrowText);
    case PT_MV_UNICODE:
      return ArrayOf(v.MVszW.cValues, v.MVszW.lppszW, VT_BSTR, WideText);
    case PT_MV_SYSTIME:
      return ArrayOf(v.MVft.cValues, v.MVft.lpft, VT_DATE,
                     [](const FILETIME& x) { return TVariant::Date(FileTimeToDateTime(x)); });
    case PT_MV_CLSID:
      return ArrayOf(v.MVguid.cValues, v.MVguid.lpguid, VT_BSTR, GuidVariant);
    case PT_MV_BINARY:
      return ArrayOf(v.MVbin.cValues, v.MVbin.lpbin, VT_VARIANT, Bytes);
    default:
      return TVariant();
  }
}

}  // namespace

void PropValueToVariant(const SPropValue* value, dispatch::TVariant& out) {
  out = dispatch::TVariant();
  if (!value) return;
  const ULONG type = PROP_TYPE(value->ulPropTag);
  out = (type & MV_FLAG) ? MultipleValues(type, value->Value) : SingleValue(type, value->Value);
}

double FileTimeToDateTime(const FILETIME& file_time) {
  const std::uint64_t ticks = Ticks(file_time);
  if (ticks >= (std::uint64_t{1} << 63)) return 0.0;
  const std::uint64_t milliseconds = ticks / kTicksPerMillisecond;
  const auto days = static_cast<std::int64_t>(milliseconds / kMillisecondsPerDay);
  const std::uint64_t time_of_day = milliseconds % kMillisecondsPerDay;
  const auto day = static_cast<double>(days - kDaysFrom1601To1899);
  const double fraction =
      static_cast<double>(time_of_day) / static_cast<double>(kMillisecondsPerDay);
  // The date type counts both parts away from 30 December 1899: the integer part is the day, the
  // fraction the time of day whatever the sign, so before that day the fraction is subtracted.
  return day < 0 ? day - fraction : day + fraction;
}

}  // namespace mapi
