// Property values as readable text for the object report: numbers in decimal, times in UTC,
// strings in quotes as UTF-8 with control characters escaped, binaries as truncated hex.
#pragma once

#include <cstdint>
#include <string>

#include "platform/pst/ltp/property_value.h"

namespace pstinfo {

// Bytes of a binary value shown before "...".
inline constexpr std::size_t kBinaryPreview = 32;
// Bytes of a string shown before "...".
inline constexpr std::size_t kStringPreview = 400;
// Elements of a multi-valued property shown before "...".
inline constexpr std::size_t kMultiValuePreview = 16;

// "PT_UNICODE", "PT_MV_LONG" ..., or the number in hex for types without a name.
std::string TypeName(std::uint16_t type);
std::string RenderValue(const pst::ltp::PropertyValue& value);
// The first bytes of a value too large to read whole, with its total size.
std::string RenderBinaryPreview(const std::vector<std::byte>& head, std::uint64_t total);

}  // namespace pstinfo
