// Registry look-up: the few configuration values the program reads from the system registry on
// Windows. On Linux a stand-in answers them:
//   HKEY_LOCAL_MACHINE "SOFTWARE\Microsoft\Windows Messaging Subsystem" value "MAPIX" -> "1"
//   HKEY_LOCAL_MACHINE "SOFTWARE\Clients\Mail\Microsoft Outlook" value "DLLPathEx" ->
//     $PST2XMZ_MAPI_LIBRARY when set and not empty, else <directory of the executable>/libmapi32.so
// Every other key or value is absent. Key paths use "\" and compare ignoring ASCII case.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/os/service_slot.h"

namespace os {

enum class Hive { kLocalMachine, kCurrentUser };

// Operating-system version as the version query reports it.
struct OsVersion {
  unsigned major = 0;
  unsigned minor = 0;
  unsigned platform_id = 0;  // 2 = NT family
};

class Registry {
 public:
  virtual ~Registry() = default;
  // Opens the key for reading; false when it does not exist or cannot be opened.
  virtual bool KeyExists(Hive hive, std::string_view key) const = 0;
  // The string value of a key, or nullopt when the key or the value is absent.
  virtual std::optional<std::string> ReadString(Hive hive, std::string_view key,
                                                std::string_view value) const = 0;
  // Creates or opens a key with write access and sets a value; false without the rights.
  virtual bool WriteValue(Hive hive, std::string_view key, std::string_view value,
                          std::string_view data) = 0;
  // The same for a 32-bit number (REG_DWORD on Windows). Registries that keep text only (the
  // Linux stand-in, most test doubles) take its decimal digits.
  virtual bool WriteNumber(Hive hive, std::string_view key, std::string_view value,
                           std::uint32_t number) {
    return WriteValue(hive, key, value, std::to_string(number));
  }
  virtual OsVersion Version() const = 0;
};

Registry& CurrentRegistry();
Registry* InstallRegistry(Registry* replacement);
using ScopedRegistry = ScopedService<Registry, &InstallRegistry>;

inline constexpr std::string_view kMessagingSubsystemKey =
    "SOFTWARE\\Microsoft\\Windows Messaging Subsystem";
inline constexpr std::string_view kMailClientKey = "SOFTWARE\\Clients\\Mail\\Microsoft Outlook";

}  // namespace os
