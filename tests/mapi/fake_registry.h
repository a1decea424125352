// A registry for binding tests: answers "MAPIX" and "DLLPathEx" as the test sets them (absent when
// unset), reports a chosen system version, and counts every look-up.
#pragma once

#include <optional>
#include <string>

#include "platform/os/registry.h"
#include "platform/os/text_compare.h"

namespace mapi_test {

class FakeRegistry final : public os::Registry {
 public:
  std::optional<std::string> mapix;
  std::optional<std::string> dll_path;
  os::OsVersion version{10, 0, 2};
  mutable int reads = 0;

  bool KeyExists(os::Hive hive, std::string_view key) const override {
    ++reads;
    if (hive != os::Hive::kLocalMachine) return false;
    if (os::EqualsIgnoreAsciiCase(key, os::kMessagingSubsystemKey)) return mapix.has_value();
    if (os::EqualsIgnoreAsciiCase(key, os::kMailClientKey)) return dll_path.has_value();
    return false;
  }

  std::optional<std::string> ReadString(os::Hive hive, std::string_view key,
                                        std::string_view value) const override {
    ++reads;
    if (hive != os::Hive::kLocalMachine) return std::nullopt;
    if (os::EqualsIgnoreAsciiCase(key, os::kMessagingSubsystemKey) && value == "MAPIX")
      return mapix;
    if (os::EqualsIgnoreAsciiCase(key, os::kMailClientKey) && value == "DLLPathEx") return dll_path;
    return std::nullopt;
  }

  bool WriteValue(os::Hive, std::string_view, std::string_view, std::string_view) override {
    return false;
  }

  os::OsVersion Version() const override {
    ++reads;
    return version;
  }
};

}  // namespace mapi_test
