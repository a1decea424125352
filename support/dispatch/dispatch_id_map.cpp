// Dispatch ids by position in the list of names asked for.
#include "support/dispatch/dispatch_id_map.h"

#include "platform/os/text_compare.h"

namespace dispatch {

bool SameMemberName(std::string_view a, std::string_view b) {
  return os::EqualsIgnoreAsciiCase(a, b);
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
