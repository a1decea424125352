// GUIDs from CoCreateGuid, in their 16-byte binary form.
#include <objbase.h>
#include <windows.h>

#include <cstring>

#include "platform/os/guid.h"

namespace os {
namespace {

class SystemGuidSource final : public GuidSource {
 public:
  Guid NewGuid() override {
    GUID created{};
    Guid g{};
    if (CoCreateGuid(&created) == S_OK) std::memcpy(g.data(), &created, g.size());
    return g;
  }
};

static_assert(sizeof(GUID) == sizeof(Guid));

SystemGuidSource system_source;
ServiceSlot<GuidSource> slot(system_source);

}  // namespace

GuidSource& CurrentGuidSource() { return slot.get(); }
GuidSource* InstallGuidSource(GuidSource* replacement) { return slot.install(replacement); }

}  // namespace os
