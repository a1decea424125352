// GUID creation: random (version 4) GUIDs in their 16-byte binary form.
#pragma once

#include <array>
#include <cstdint>

#include "platform/os/service_slot.h"

namespace os {

using Guid = std::array<std::uint8_t, 16>;

class GuidSource {
 public:
  virtual ~GuidSource() = default;
  // May be called from several threads at once (messages are composed on several).
  virtual Guid NewGuid() = 0;
};

GuidSource& CurrentGuidSource();
GuidSource* InstallGuidSource(GuidSource* replacement);
using ScopedGuidSource = ScopedService<GuidSource, &InstallGuidSource>;

}  // namespace os
