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
