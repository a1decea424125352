// The Windows registry: keys opened for reading (KEY_READ) or created for writing, string values.
#include <windows.h>

#include <vector>

#include "platform/os/registry.h"

namespace os {
namespace {

HKEY Root(Hive hive) {
  return hive == Hive::kLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// An open key, closed when it goes out of scope.
class OpenKey {
 public:
  OpenKey(Hive hive, std::string_view key) {
    const std::string name(key);
    if (RegOpenKeyExA(Root(hive), name.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS)
      key_ = nullptr;
  }
  ~OpenKey() {
    if (key_) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

class WindowsRegistry final : public Registry {
 public:
  bool KeyExists(Hive hive, std::string_view key) const override {
    return OpenKey(hive, key).get() != nullptr;
  }

  // The value's bytes as stored, whatever their length; the caller cuts at the first zero byte.
  std::optional<std::string> ReadString(Hive hive, std::string_view key,
                                        std::string_view value) const override {
    OpenKey opened(hive, key);
    if (!opened.get()) return std::nullopt;
    const std::string name(value);
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(opened.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS)
      return std::nullopt;
    std::vector<BYTE> data(size + 1, 0);
    if (RegQueryValueExA(opened.get(), name.c_str(), nullptr, &type, data.data(), &size) !=
        ERROR_SUCCESS)
      return std::nullopt;
    return std::string(reinterpret_cast<const char*>(data.data()), size);
  }

  bool WriteValue(Hive hive, std::string_view key, std::string_view value,
                  std::string_view data) override {
    const std::string text(data);
    return Write(hive, key, value, REG_SZ, text.c_str(), text.size() + 1);
  }

  bool WriteNumber(Hive hive, std::string_view key, std::string_view value,
                   std::uint32_t number) override {
    const DWORD dword = number;
    return Write(hive, key, value, REG_DWORD, &dword, sizeof dword);
  }

  OsVersion Version() const override {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;  // 148 bytes
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info)) return {};
#pragma GCC diagnostic pop
    return {info.dwMajorVersion, info.dwMinorVersion, info.dwPlatformId};
  }

 private:
  // Creates or opens the key with write access and sets the value.
  static bool Write(Hive hive, std::string_view key, std::string_view value, DWORD type,
                    const void* data, std::size_t size) {
    const std::string key_name(key), value_name(value);
    HKEY opened = nullptr;
    if (RegCreateKeyExA(Root(hive), key_name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &opened, nullptr) != ERROR_SUCCESS)
      return false;
    const LONG result = RegSetValueExA(opened, value_name.c_str(), 0, type,
                                       static_cast<const BYTE*>(data), static_cast<DWORD>(size));
    RegCloseKey(opened);
    return result == ERROR_SUCCESS;
  }
};

static_assert(sizeof(OSVERSIONINFOA) == 148);

WindowsRegistry system_registry;
ServiceSlot<Registry> slot(system_registry);

}  // namespace

Registry& CurrentRegistry() { return slot.get(); }
Registry* InstallRegistry(Registry* replacement) { return slot.install(replacement); }

}  // namespace os
