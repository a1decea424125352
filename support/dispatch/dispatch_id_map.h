// Dispatch ids of one object: an ordered list of member names, a name's id being its position.
// Names compare ignoring the case of ASCII letters; the list only grows, so ids stay stable.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/dispatch/dispatch_interface.h"

namespace dispatch {

class TDispatchIdMap {
 public:
  // The id of the name, appending it when it is not yet listed.
  DISPID IdOf(std::string_view name);
  // The id of the name when it is listed.
  std::optional<DISPID> Find(std::string_view name) const;
  // The name at that id, or null when the id is outside the list.
  const std::string* NameOf(DISPID id) const;
  std::size_t Count() const { return names_.size(); }

 private:
  std::vector<std::string> names_;
};

// Equality of member names ignoring the case of ASCII letters.
bool SameMemberName(std::string_view a, std::string_view b);

}  // namespace dispatch
