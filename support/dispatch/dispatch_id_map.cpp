// Dispatch ids by position in the list of names asked for.
#include "support/dispatch/dispatch_id_map.h"

namespace dispatch {

bool SameMemberName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::optional<DISPID> TDispatchIdMap::Find(std::string_view name) const {
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (SameMemberName(names_[i], name)) return static_cast<DISPID>(i);
  }
  return std::nullopt;
}

DISPID TDispatchIdMap::IdOf(std::string_view name) {
  if (const auto id = Find(name)) return *id;
  names_.emplace_back(name);
  return static_cast<DISPID>(names_.size() - 1);
}

const std::string* TDispatchIdMap::NameOf(DISPID id) const {
  if (id < 0 || static_cast<std::size_t>(id) >= names_.size()) return nullptr;
  return &names_[static_cast<std::size_t>(id)];
}

}  // namespace dispatch
