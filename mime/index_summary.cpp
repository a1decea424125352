// Provisional header-only summary: the first line of each field, until the model's header lands.
#include "mime/index_summary.h"

namespace {

std::string_view FirstFieldValue(std::string_view text, std::string_view name) {
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) break;
    if (line.size() > name.size() && line[name.size()] == ':') {
      bool same = true;
      for (size_t i = 0; i < name.size(); ++i)
        if ((line[i] | 0x20) != (name[i] | 0x20)) same = false;
      if (same) {
        std::string_view value = line.substr(name.size() + 1);
        while (!value.empty() && static_cast<unsigned char>(value.front()) <= ' ') value.remove_prefix(1);
        if (!value.empty()) return value;
      }
    }
    pos = end + 1;
  }
  return {};
}

}  // namespace

TMimeIndexSummary ReadIndexSummary(std::string_view text) {
  return {std::string(FirstFieldValue(text, "From")), std::string(FirstFieldValue(text, "To")),
          std::string(FirstFieldValue(text, "Subject"))};
}
