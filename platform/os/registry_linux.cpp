// The Linux registry stand-in: answers the two values that locate the mail library.
#include <cstdlib>

#include "platform/os/module_path.h"
#include "platform/os/registry.h"
#include "platform/os/text_compare.h"

namespace os {
namespace {

class LinuxRegistry final : public Registry {
 public:
  bool KeyExists(Hive hive, std::string_view key) const override {
    return hive == Hive::kLocalMachine && (EqualsIgnoreAsciiCase(key, kMessagingSubsystemKey) ||
                                           EqualsIgnoreAsciiCase(key, kMailClientKey));
  }

  std::optional<std::string> ReadString(Hive hive, std::string_view key,
                                        std::string_view value) const override {
    if (hive != Hive::kLocalMachine) return std::nullopt;
    if (EqualsIgnoreAsciiCase(key, kMessagingSubsystemKey) && EqualsIgnoreAsciiCase(value, "MAPIX"))
      return std::string("1");
    if (EqualsIgnoreAsciiCase(key, kMailClientKey) && EqualsIgnoreAsciiCase(value, "DLLPathEx")) {
      const char* configured = std::getenv("PST2XMZ_MAPI_LIBRARY");
      if (configured && *configured) return std::string(configured);
      return ExecutableDirectory() + "/libmapi32.so";
    }
    return std::nullopt;
  }

  // Nothing is persisted on Linux; the event log needs no registration key.
  bool WriteValue(Hive, std::string_view, std::string_view, std::string_view) override {
    return true;
  }

  OsVersion Version() const override { return {10, 0, 2}; }
};

LinuxRegistry system_registry;
ServiceSlot<Registry> slot(system_registry);

}  // namespace

Registry& CurrentRegistry() { return slot.get(); }
Registry* InstallRegistry(Registry* replacement) { return slot.install(replacement); }

}  // namespace os
