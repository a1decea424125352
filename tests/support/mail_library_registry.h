// A registry for tests that load a mail library through the program's binding: extended messaging
// installed ("MAPIX" is "1") and the mail client's "DLLPathEx" naming the library; every other
// value is absent.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/os/registry.h"
#include "platform/os/text_compare.h"

namespace test_support {

class MailLibraryRegistry final : public os::Registry {
 public:
  explicit MailLibraryRegistry(std::string library) : library_(std::move(library)) {}

  bool KeyExists(os::Hive, std::string_view) const override { return true; }
  std::optional<std::string> ReadString(os::Hive, std::string_view key,
                                        std::string_view value) const override {
    if (os::EqualsIgnoreAsciiCase(key, os::kMessagingSubsystemKey) && value == "MAPIX") return "1";
    if (os::EqualsIgnoreAsciiCase(key, os::kMailClientKey) && value == "DLLPathEx") return library_;
    return std::nullopt;
  }
  bool WriteValue(os::Hive, std::string_view, std::string_view, std::string_view) override {
    return false;
  }
  os::OsVersion Version() const override { return {10, 0, 2}; }

 private:
  std::string library_;
};

}  // namespace test_support
