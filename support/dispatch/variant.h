// The tagged value of automation calls: what published properties and methods of the model take and
// return, and what property values of the mail library convert to. Kinds and their numbers are
// those of OLE automation; a string is a wide (UTF-16) string, an object is a borrowed dispatch
// pointer, and an array holds values indexed from 0.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dispatch {

class IDispatchLike;

using VARTYPE = std::uint16_t;
inline constexpr VARTYPE VT_EMPTY = 0;
inline constexpr VARTYPE VT_I2 = 2;
inline constexpr VARTYPE VT_I4 = 3;
inline constexpr VARTYPE VT_R4 = 4;
inline constexpr VARTYPE VT_R8 = 5;
inline constexpr VARTYPE VT_CY = 6;
inline constexpr VARTYPE VT_DATE = 7;
inline constexpr VARTYPE VT_BSTR = 8;
inline constexpr VARTYPE VT_DISPATCH = 9;
inline constexpr VARTYPE VT_BOOL = 11;
inline constexpr VARTYPE VT_VARIANT =
    12;  // element kind of arrays whose elements carry their own kind
inline constexpr VARTYPE VT_UI1 = 17;
inline constexpr VARTYPE VT_I8 = 20;
inline constexpr VARTYPE VT_ARRAY = 0x2000;  // flag: VT_ARRAY | element kind

// Currency: a 64-bit count of ten-thousandths.
struct Currency {
  static constexpr std::int64_t kScale = 10000;
  std::int64_t scaled = 0;
  bool operator==(const Currency&) const = default;
};

class TVariant {
 public:
  TVariant() = default;  // VT_EMPTY

  // VT_BOOL; only a real bool picks this (no pointer or integer slips in).
  template <std::same_as<bool> B>
  TVariant(B value) : vt_(VT_BOOL), integer_(value ? -1 : 0) {}
  // Integers take the narrowest listed kind that holds every value of their type:
  // unsigned 8 bits -> VT_UI1, signed up to 16 bits -> VT_I2, up to 32 bits -> VT_I4, else VT_I8.
  template <std::integral I>
  requires(!std::same_as<I, bool>) TVariant(I value)
      : vt_(IntegerKind<I>()), integer_(static_cast<std::int64_t>(value)) {}
  TVariant(float value) : vt_(VT_R4), real_(value) {}
  TVariant(double value) : vt_(VT_R8), real_(value) {}
  TVariant(Currency value) : vt_(VT_CY), integer_(value.scaled) {}
  // VT_BSTR from wide text, or from UTF-8 text converted to wide.
  TVariant(std::u16string value) : vt_(VT_BSTR), text_(std::move(value)) {}
  TVariant(std::u16string_view value) : vt_(VT_BSTR), text_(value) {}
  TVariant(const char16_t* value) : TVariant(std::u16string_view(value)) {}
  TVariant(std::string_view utf8);
  TVariant(const std::string& utf8) : TVariant(std::string_view(utf8)) {}
  TVariant(const char* utf8) : TVariant(std::string_view(utf8)) {}
  // VT_DISPATCH; the object is borrowed, never owned.
  TVariant(IDispatchLike* object) : vt_(VT_DISPATCH), object_(object) {}
  TVariant(std::nullptr_t) : vt_(VT_DISPATCH) {}

  static TVariant Date(double days_since_1899_12_30);
  // VT_BOOL holding a stored 16-bit value as it stands (a mail property's 1 stays 1).
  static TVariant RawBool(std::int16_t stored);
  // VT_ARRAY | element_type. Elements are converted to element_type unless it is VT_VARIANT.
  static TVariant Array(std::vector<TVariant> elements, VARTYPE element_type = VT_VARIANT);

  VARTYPE vt() const { return vt_; }
  bool IsEmpty() const { return vt_ == VT_EMPTY; }
  bool IsArray() const { return (vt_ & VT_ARRAY) != 0; }
  VARTYPE ElementType() const { return static_cast<VARTYPE>(vt_ & ~VT_ARRAY); }

  // Conversions. Empty reads as 0, "" or false; a bool reads as -1 or 0 and as "True" or "False";
  // doubles round half to even. A value that has no such form (text that is no number, a number
  // out of range, an object or an array where a scalar is wanted) raises diag::EPlError.
  std::int32_t ToInt() const;
  std::int64_t ToInt64() const;
  double ToDouble() const;
  bool ToBool() const;
  std::string ToString() const;  // UTF-8
  std::u16string ToWide() const;
  Currency ToCurrency() const;
  double ToDate() const;
  IDispatchLike* ToDispatch() const;  // VT_DISPATCH (possibly null) or empty (null)
  // The value as another kind (VT_VARIANT: unchanged); arrays convert element by element.
  TVariant ChangeType(VARTYPE vt) const;

  // Array elements, index 0 first. Raises diag::EPlError on a value that is not an array.
  const std::vector<TVariant>& Elements() const;
  std::size_t Count() const { return Elements().size(); }
  const TVariant& operator[](std::size_t index) const;

  bool operator==(const TVariant& other) const;

 private:
  template <std::integral I>
  static constexpr VARTYPE IntegerKind() {
    if constexpr (sizeof(I) == 1 && std::unsigned_integral<I>)
      return VT_UI1;
    else if constexpr (sizeof(I) <= 2 && std::signed_integral<I>)
      return VT_I2;
    else if constexpr (sizeof(I) < 4 || (sizeof(I) == 4 && std::signed_integral<I>))
      return VT_I4;
    else
      return VT_I8;
  }

  VARTYPE vt_ = VT_EMPTY;
  std::int64_t integer_ = 0;  // I2, I4, UI1, I8, BOOL (-1 / 0), CY (scaled)
  double real_ = 0;           // R4, R8, DATE
  std::u16string text_;       // BSTR
  IDispatchLike* object_ = nullptr;
  std::vector<TVariant> elements_;  // ARRAY
};

// Name of a kind for messages ("VT_I4", "VT_ARRAY|VT_VARIANT").
std::string VarTypeName(VARTYPE vt);

}  // namespace dispatch
