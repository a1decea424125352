// Formatting helpers of the inspector.
#include "tools/pstinfo/text_format.h"

#include <cstdio>

namespace pstinfo {
namespace {

// Length of the UTF-8 sequence that starts with `lead` (1 for stray continuation bytes).
std::size_t Utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

}  // namespace

std::string HexId(std::uint64_t id) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(id));
  return text;
}

std::string HexBytes(std::span<const std::byte> bytes, bool spaced) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (spaced && i > 0) out.push_back(' ');
    out.push_back(kDigits[std::to_integer<unsigned>(bytes[i]) >> 4]);
    out.push_back(kDigits[std::to_integer<unsigned>(bytes[i]) & 0x0F]);
  }
  return out;
}

std::string FieldText(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

std::string StripSubjectMarker(std::string_view subject) {
  if (subject.empty() || subject[0] != '\x01') return std::string(subject);
  if (subject.size() == 1) return {};
  const std::size_t marker = 1 + Utf8SequenceLength(static_cast<unsigned char>(subject[1]));
  return marker >= subject.size() ? std::string() : std::string(subject.substr(marker));
}

}  // namespace pstinfo
