// Small formatting helpers shared by the inspector's reports: node ids in hex, text made safe for
// one tab-separated field, and subjects without their prefix marker.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pstinfo {

// "0x" followed by lowercase hex digits, no padding.
std::string HexId(std::uint64_t id);
// Bytes as lowercase hex pairs, separated by blanks when `spaced`.
std::string HexBytes(std::span<const std::byte> bytes, bool spaced);
// Tabs, carriage returns and line feeds become blanks, so the text stays one field of one line.
std::string FieldText(std::string_view text);
// A subject whose first character is 0x01 keeps its prefix length in the second character; both
// are dropped (the second may be any UTF-8 character).
std::string StripSubjectMarker(std::string_view subject);

}  // namespace pstinfo
