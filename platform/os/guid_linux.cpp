// Version-4 GUIDs from the system's random device.
#include <mutex>
#include <random>

#include "platform/os/guid.h"

namespace os {
namespace {

class RandomGuidSource final : public GuidSource {
 public:
  Guid NewGuid() override {
    const std::lock_guard<std::mutex> lock(mutex_);
    Guid g;
    for (size_t i = 0; i < g.size(); i += 4) {
      std::uint32_t r = engine_();
      for (size_t k = 0; k < 4; ++k) g[i + k] = static_cast<std::uint8_t>(r >> (8 * k));
    }
    g[7] = static_cast<std::uint8_t>((g[7] & 0x0F) | 0x40);  // version 4 (Data3's high nibble)
    g[8] = static_cast<std::uint8_t>((g[8] & 0x3F) | 0x80);  // RFC 4122 variant
    return g;
  }

 private:
  static std::mt19937 Seeded() {
    std::random_device device;
    std::seed_seq seeds{device(), device(), device(), device(),
                        device(), device(), device(), device()};
    return std::mt19937(seeds);
  }

  std::mutex mutex_;  // guards engine_: messages are composed on several threads
  std::mt19937 engine_ = Seeded();
};

RandomGuidSource system_source;
ServiceSlot<GuidSource> slot(system_source);

}  // namespace

GuidSource& CurrentGuidSource() { return slot.get(); }
GuidSource* InstallGuidSource(GuidSource* replacement) { return slot.install(replacement); }

}  // namespace os
