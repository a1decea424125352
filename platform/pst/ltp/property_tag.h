// Property tags and types: a tag is a 16-bit property id and a 16-bit type, written as one 32-bit
// value with the id in the high half.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace pst::ltp {

// Property types as stored in property and table contexts.
namespace prop_type {
inline constexpr std::uint16_t kInt16 = 0x0002;        // PT_I2
inline constexpr std::uint16_t kInt32 = 0x0003;        // PT_LONG
inline constexpr std::uint16_t kFloat = 0x0004;        // PT_FLOAT
inline constexpr std::uint16_t kDouble = 0x0005;       // PT_DOUBLE
inline constexpr std::uint16_t kCurrency = 0x0006;     // PT_CURRENCY
inline constexpr std::uint16_t kAppTime = 0x0007;      // PT_APPTIME
inline constexpr std::uint16_t kError = 0x000A;        // PT_ERROR
inline constexpr std::uint16_t kBoolean = 0x000B;      // PT_BOOLEAN
inline constexpr std::uint16_t kObject = 0x000D;       // PT_OBJECT
inline constexpr std::uint16_t kInt64 = 0x0014;        // PT_I8
inline constexpr std::uint16_t kString8 = 0x001E;      // PT_STRING8
inline constexpr std::uint16_t kUnicode = 0x001F;      // PT_UNICODE
inline constexpr std::uint16_t kSysTime = 0x0040;      // PT_SYSTIME
inline constexpr std::uint16_t kClsid = 0x0048;        // PT_CLSID
inline constexpr std::uint16_t kServerId = 0x00FB;     // PT_SVREID
inline constexpr std::uint16_t kRestriction = 0x00FD;  // PT_SRESTRICT
inline constexpr std::uint16_t kRuleActions = 0x00FE;  // PT_ACTIONS
inline constexpr std::uint16_t kBinary = 0x0102;       // PT_BINARY
inline constexpr std::uint16_t kMultiValue = 0x1000;   // MV_FLAG: PT_MV_* = MV_FLAG | base type
}  // namespace prop_type

inline bool IsMultiValued(std::uint16_t type) { return (type & prop_type::kMultiValue) != 0; }
inline std::uint16_t BaseType(std::uint16_t type) {
  return static_cast<std::uint16_t>(type & ~prop_type::kMultiValue);
}

// Size of one value of a fixed-size base type; nullopt for variable-size types (strings, binary,
// object, server id, restriction, rule actions) and unknown types.
std::optional<std::size_t> FixedTypeSize(std::uint16_t base_type);

// Fixed-size types whose value a property context keeps inside its 4-byte record instead of the
// heap (PT_I2, PT_LONG, PT_FLOAT, PT_ERROR, PT_BOOLEAN).
inline bool IsStoredInline(std::uint16_t type) {
  auto size = FixedTypeSize(type);
  return !IsMultiValued(type) && size && *size <= 4;
}

struct PropTag {
  std::uint16_t id = 0;
  std::uint16_t type = 0;

  static constexpr PropTag From(std::uint32_t tag) {
    return PropTag{static_cast<std::uint16_t>(tag >> 16), static_cast<std::uint16_t>(tag)};
  }
  constexpr std::uint32_t value() const { return (std::uint32_t{id} << 16) | type; }
  friend constexpr bool operator==(PropTag, PropTag) = default;
};

inline std::optional<std::size_t> FixedTypeSize(std::uint16_t base_type) {
  switch (base_type) {
    case prop_type::kBoolean:
      return 1;
    case prop_type::kInt16:
      return 2;
    case prop_type::kInt32:
    case prop_type::kFloat:
    case prop_type::kError:
      return 4;
    case prop_type::kDouble:
    case prop_type::kCurrency:
    case prop_type::kAppTime:
    case prop_type::kInt64:
    case prop_type::kSysTime:
      return 8;
    case prop_type::kClsid:
      return 16;
    default:
      return std::nullopt;
  }
}

}  // namespace pst::ltp
