// Conversions between the kinds of TVariant.
#include "support/dispatch/variant.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/os/clock.h"
#include "platform/os/text_compare.h"
#include "support/diag/date_text.h"
#include "support/diag/error.h"
#include "support/dispatch/wide_text.h"

namespace dispatch {
namespace {

[[noreturn]] void FailConversion(VARTYPE from, VARTYPE to) {
  throw diag::EPlError("Could not convert variant of type (" + VarTypeName(from) + ") into type (" +
                       VarTypeName(to) + ")");
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The whole text as a number; nullopt-like false when it is not one.
bool ParseNumber(std::string_view text, double& value) {
  text = TrimBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

bool ParseInteger(std::string_view text, std::int64_t& value) {
  text = TrimBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

// "YYYY-MM-DD", optionally followed by " hh:mm" or " hh:mm:ss".
bool ParseDate(std::string_view text, double& days) {
  os::LocalTime t;
  const std::string copy(TrimBlanks(text));
  char tail = 0;
  const int fields = std::sscanf(copy.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &t.year, &t.month,
                                 &t.day, &t.hour, &t.minute, &t.second, &tail);
  if (fields != 3 && fields != 5 && fields != 6) return false;
  if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 || t.minute > 59 ||
      t.second > 59 || t.hour < 0 || t.minute < 0 || t.second < 0) {
    return false;
  }
  days = os::ToDateTime(t);
  return true;
}

// Shortest text that reads back as the same number.
template <class Real>
std::string FormatReal(Real value) {
  char buffer[32];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return error == std::errc() ? std::string(buffer, end) : std::string();
}

// Rounds half to even and checks the range of the target kind.
std::int64_t RoundToInteger(double value, std::int64_t low, std::int64_t high, VARTYPE from,
                            VARTYPE to) {
  constexpr double kTwoTo63 = 9223372036854775808.0;  // first double past every int64
  const double rounded = std::nearbyint(value);
  if (!std::isfinite(rounded) || rounded < static_cast<double>(low) ||
      rounded > static_cast<double>(high) || rounded >= kTwoTo63) {
    FailConversion(from, to);
  }
  return static_cast<std::int64_t>(rounded);
}

std::int64_t CheckRange(std::int64_t value, std::int64_t low, std::int64_t high, VARTYPE from,
                        VARTYPE to) {
  if (value < low || value > high) FailConversion(from, to);
  return value;
}

// Range of integers of each kind.
void IntegerRange(VARTYPE vt, std::int64_t& low, std::int64_t& high) {
  switch (vt) {
    case VT_I2:
      low = INT16_MIN, high = INT16_MAX;
      return;
    case VT_I4:
      low = INT32_MIN, high = INT32_MAX;
      return;
    case VT_UI1:
      low = 0, high = UINT8_MAX;
      return;
    default:
      low = INT64_MIN, high = INT64_MAX;
      return;
  }
}

}  // namespace

TVariant::TVariant(std::string_view utf8) : vt_(VT_BSTR), text_(Utf8ToWide(utf8)) {}

TVariant TVariant::Date(double days_since_1899_12_30) {
  TVariant value;
  value.vt_ = VT_DATE;
  value.real_ = days_since_1899_12_30;
  return value;
}

TVariant TVariant::RawBool(std::int16_t stored) {
  TVariant value;
  value.vt_ = VT_BOOL;
  value.integer_ = stored;
  return value;
}

TVariant TVariant::Array(std::vector<TVariant> elements, VARTYPE element_type) {
  element_type = static_cast<VARTYPE>(element_type & ~VT_ARRAY);
  TVariant value;
  value.vt_ = static_cast<VARTYPE>(VT_ARRAY | element_type);
  if (element_type != VT_VARIANT) {
    for (TVariant& element : elements) element = element.ChangeType(element_type);
  }
  value.elements_ = std::move(elements);
  return value;
}

std::int64_t TVariant::ToInt64() const {
  switch (vt_) {
    case VT_EMPTY:
      return 0;
    case VT_I2:
    case VT_I4:
    case VT_UI1:
    case VT_I8:
    case VT_BOOL:
      return integer_;
    case VT_R4:
    case VT_R8:
    case VT_DATE:
      return RoundToInteger(real_, INT64_MIN, INT64_MAX, vt_, VT_I8);
    case VT_CY:
      return RoundToInteger(static_cast<double>(integer_) / Currency::kScale, INT64_MIN, INT64_MAX,
                            vt_, VT_I8);
    case VT_BSTR: {
      const std::string text = WideToUtf8(text_);
      std::int64_t integer = 0;
      if (ParseInteger(text, integer)) return integer;
      double real = 0;
      if (ParseNumber(text, real)) return RoundToInteger(real, INT64_MIN, INT64_MAX, vt_, VT_I8);
      if (os::EqualsIgnoreAsciiCase(TrimBlanks(text), "true")) return -1;
      if (os::EqualsIgnoreAsciiCase(TrimBlanks(text), "false")) return 0;
      FailConversion(vt_, VT_I8);
    }
    default:
      FailConversion(vt_, VT_I8);
  }
}

std::int32_t TVariant::ToInt() const {
  if (vt_ == VT_R4 || vt_ == VT_R8 || vt_ == VT_DATE) {
    return static_cast<std::int32_t>(RoundToInteger(real_, INT32_MIN, INT32_MAX, vt_, VT_I4));
  }
  return static_cast<std::int32_t>(CheckRange(ToInt64(), INT32_MIN, INT32_MAX, vt_, VT_I4));
}

double TVariant::ToDouble() const {
  switch (vt_) {
    case VT_EMPTY:
      return 0;
    case VT_I2:
    case VT_I4:
    case VT_UI1:
    case VT_I8:
    case VT_BOOL:
      return static_cast<double>(integer_);
    case VT_R4:
    case VT_R8:
    case VT_DATE:
      return real_;
    case VT_CY:
      return static_cast<double>(integer_) / Currency::kScale;
    case VT_BSTR: {
      const std::string text = WideToUtf8(text_);
      double real = 0;
      if (ParseNumber(text, real)) return real;
      if (os::EqualsIgnoreAsciiCase(TrimBlanks(text), "true")) return -1;
      if (os::EqualsIgnoreAsciiCase(TrimBlanks(text), "false")) return 0;
      FailConversion(vt_, VT_R8);
    }
    default:
      FailConversion(vt_, VT_R8);
  }
}

bool TVariant::ToBool() const {
  switch (vt_) {
    case VT_EMPTY:
      return false;
    case VT_I2:
    case VT_I4:
    case VT_UI1:
    case VT_I8:
    case VT_BOOL:
    case VT_CY:
      return integer_ != 0;
    case VT_R4:
    case VT_R8:
    case VT_DATE:
      return real_ != 0;
    case VT_BSTR: {
      const std::string text = WideToUtf8(text_);
      if (os::EqualsIgnoreAsciiCase(TrimBlanks(text), "true")) return true;
      if (os::EqualsIgnoreAsciiCase(TrimBlanks(text), "false")) return false;
      double real = 0;
      if (ParseNumber(text, real)) return real != 0;
      FailConversion(vt_, VT_BOOL);
    }
    default:
      FailConversion(vt_, VT_BOOL);
  }
}

std::string TVariant::ToString() const {
  switch (vt_) {
    case VT_EMPTY:
      return {};
    case VT_I2:
    case VT_I4:
    case VT_UI1:
    case VT_I8:
      return std::to_string(integer_);
    case VT_BOOL:
      return integer_ != 0 ? "True" : "False";
    case VT_R4:
      return FormatReal(static_cast<float>(real_));
    case VT_R8:
      return FormatReal(real_);
    case VT_CY:
      return FormatReal(static_cast<double>(integer_) / Currency::kScale);
    case VT_DATE:
      return diag::FormatDateTime(real_);
    case VT_BSTR:
      return WideToUtf8(text_);
    default:
      FailConversion(vt_, VT_BSTR);
  }
}

std::u16string TVariant::ToWide() const { return vt_ == VT_BSTR ? text_ : Utf8ToWide(ToString()); }

Currency TVariant::ToCurrency() const {
  if (vt_ == VT_CY) return Currency{integer_};
  const double scaled = ToDouble() * Currency::kScale;
  return Currency{RoundToInteger(scaled, INT64_MIN, INT64_MAX, vt_, VT_CY)};
}

double TVariant::ToDate() const {
  if (vt_ == VT_BSTR) {
    double days = 0;
    if (ParseDate(WideToUtf8(text_), days)) return days;
  }
  return ToDouble();
}

IDispatchLike* TVariant::ToDispatch() const {
  if (vt_ == VT_DISPATCH) return object_;
  if (vt_ == VT_EMPTY) return nullptr;
  FailConversion(vt_, VT_DISPATCH);
}

TVariant TVariant::ChangeType(VARTYPE vt) const {
  if (vt == vt_ || vt == VT_VARIANT) return *this;
  if ((vt & VT_ARRAY) != 0) {
    if (!IsArray()) FailConversion(vt_, vt);
    return Array(elements_, vt);
  }
  if (IsArray()) FailConversion(vt_, vt);
  std::int64_t low = 0, high = 0;
  IntegerRange(vt, low, high);
  switch (vt) {
    case VT_EMPTY:
      return TVariant();
    case VT_I2:
      return static_cast<std::int16_t>(CheckRange(ToInt64(), low, high, vt_, vt));
    case VT_I4:
      return ToInt();
    case VT_UI1:
      return static_cast<std::uint8_t>(CheckRange(ToInt64(), low, high, vt_, vt));
    case VT_I8:
      return ToInt64();
    case VT_R4:
      return static_cast<float>(ToDouble());
    case VT_R8:
      return ToDouble();
    case VT_CY:
      return ToCurrency();
    case VT_DATE:
      return Date(ToDate());
    case VT_BSTR:
      return ToWide();
    case VT_BOOL:
      return ToBool();
    case VT_DISPATCH:
      return ToDispatch();
    default:
      FailConversion(vt_, vt);
  }
}

const std::vector<TVariant>& TVariant::Elements() const {
  if (!IsArray()) throw diag::EPlError("Variant is not an array");
  return elements_;
}

const TVariant& TVariant::operator[](std::size_t index) const {
  const std::vector<TVariant>& elements = Elements();
  if (index >= elements.size()) throw diag::EPlError("Variant array index out of bounds");
  return elements[index];
}

bool TVariant::operator==(const TVariant& other) const {
  if (vt_ != other.vt_) return false;
  switch (vt_) {
    case VT_R4:
    case VT_R8:
    case VT_DATE:
      return real_ == other.real_;
    case VT_BSTR:
      return text_ == other.text_;
    case VT_DISPATCH:
      return object_ == other.object_;
    default:
      return IsArray() ? elements_ == other.elements_ : integer_ == other.integer_;
  }
}

std::string VarTypeName(VARTYPE vt) {
  const VARTYPE element = static_cast<VARTYPE>(vt & ~VT_ARRAY);
  std::string name;
  switch (element) {
    case VT_EMPTY:
      name = "VT_EMPTY";
      break;
    case VT_I2:
      name = "VT_I2";
      break;
    case VT_I4:
      name = "VT_I4";
      break;
    case VT_R4:
      name = "VT_R4";
      break;
    case VT_R8:
      name = "VT_R8";
      break;
    case VT_CY:
      name = "VT_CY";
      break;
    case VT_DATE:
      name = "VT_DATE";
      break;
    case VT_BSTR:
      name = "VT_BSTR";
      break;
    case VT_DISPATCH:
      name = "VT_DISPATCH";
      break;
    case VT_BOOL:
      name = "VT_BOOL";
      break;
    case VT_VARIANT:
      name = "VT_VARIANT";
      break;
    case VT_UI1:
      name = "VT_UI1";
      break;
    case VT_I8:
      name = "VT_I8";
      break;
    default:
      name = "VT_" + std::to_string(element);
      break;
  }
  return (vt & VT_ARRAY) != 0 ? "VT_ARRAY|" + name : name;
}

}  // namespace dispatch
