// Lookup of published members through a class's table and its ancestors'.
#include "support/dispatch/published_members.h"

#include "support/dispatch/dispatch_id_map.h"

namespace dispatch {
namespace {

template <class Member>
const Member* FindIn(const std::vector<Member>& members, std::string_view name) {
  for (const Member& member : members) {
    if (SameMemberName(member.name, name)) return &member;
  }
  return nullptr;
}

}  // namespace

const TPublishedMembers::Property* TPublishedMembers::FindProperty(std::string_view name) const {
  for (const TPublishedMembers* table = this; table != nullptr; table = table->ancestor_) {
    if (const Property* property = FindIn(table->properties_, name)) return property;
  }
  return nullptr;
}

const TPublishedMembers::Method* TPublishedMembers::FindMethod(std::string_view name) const {
  for (const TPublishedMembers* table = this; table != nullptr; table = table->ancestor_) {
    if (const Method* method = FindIn(table->methods_, name)) return method;
  }
  return nullptr;
}

}  // namespace dispatch
