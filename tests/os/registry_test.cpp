// The registry stand-in: the two values that locate the mail library, absent everything else, the
// version that sends the binding down its registry path, and replacement by tests.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/os/module_path.h"
#include "platform/os/registry.h"

namespace {

class EnvironmentVariable {
 public:
  EnvironmentVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) saved_ = old, had_ = true;
    if (value)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  }
  ~EnvironmentVariable() {
    if (had_)
      ::setenv(name_, saved_.c_str(), 1);
    else
      ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::string saved_;
  bool had_ = false;
};

const auto kMachine = os::Hive::kLocalMachine;

TEST(Registry, MessagingSubsystemAnswersOne) {
  EXPECT_EQ(os::CurrentRegistry().ReadString(kMachine, os::kMessagingSubsystemKey, "MAPIX"), "1");
  EXPECT_EQ(os::CurrentRegistry().ReadString(
                kMachine, "software\\microsoft\\WINDOWS MESSAGING SUBSYSTEM", "mapix"),
            "1");
  EXPECT_TRUE(os::CurrentRegistry().KeyExists(kMachine, os::kMessagingSubsystemKey));
}

TEST(Registry, LibraryPathComesFromTheEnvironmentWhenSet) {
  EnvironmentVariable variable("PST2XMZ_MAPI_LIBRARY", "/opt/mapi/libmapi32.so");
  EXPECT_EQ(os::CurrentRegistry().ReadString(kMachine, os::kMailClientKey, "DLLPathEx"),
            "/opt/mapi/libmapi32.so");
}

TEST(Registry, LibraryPathDefaultsToTheExecutablesDirectory) {
  const std::string expected = os::ExecutableDirectory() + "/libmapi32.so";
  {
    EnvironmentVariable variable("PST2XMZ_MAPI_LIBRARY", nullptr);
    EXPECT_EQ(os::CurrentRegistry().ReadString(kMachine, os::kMailClientKey, "DLLPathEx"),
              expected);
  }
  {
    EnvironmentVariable variable("PST2XMZ_MAPI_LIBRARY", "");
    EXPECT_EQ(os::CurrentRegistry().ReadString(kMachine, os::kMailClientKey, "DLLPathEx"),
              expected);
  }
}

TEST(Registry, EverythingElseIsAbsent) {
  os::Registry& registry = os::CurrentRegistry();
  EXPECT_FALSE(registry.ReadString(kMachine, os::kMailClientKey, "DLLPath").has_value());
  EXPECT_FALSE(registry.ReadString(kMachine, "SOFTWARE\\Other", "MAPIX").has_value());
  EXPECT_FALSE(
      registry.ReadString(os::Hive::kCurrentUser, os::kMessagingSubsystemKey, "MAPIX").has_value());
  EXPECT_FALSE(registry.KeyExists(kMachine, "SOFTWARE\\Other"));
  EXPECT_FALSE(registry.KeyExists(os::Hive::kCurrentUser, os::kMailClientKey));
}

TEST(Registry, VersionIsNtFamilyAbove351) {
  const os::OsVersion version = os::CurrentRegistry().Version();
  EXPECT_EQ(version.platform_id, 2u);
  EXPECT_TRUE(version.major > 3 || (version.major == 3 && version.minor > 51));
}

class FixedRegistry : public os::Registry {
 public:
  bool KeyExists(os::Hive, std::string_view) const override { return true; }
  std::optional<std::string> ReadString(os::Hive, std::string_view,
                                        std::string_view) const override {
    return "fixed";
  }
  bool WriteValue(os::Hive, std::string_view, std::string_view, std::string_view) override {
    return false;
  }
  os::OsVersion Version() const override { return {3, 51, 2}; }
};

TEST(Registry, TestsInstallTheirOwnAndTheSystemOneComesBack) {
  os::Registry* system = &os::CurrentRegistry();
  FixedRegistry fixed;
  {
    os::ScopedRegistry scoped(fixed);
    EXPECT_EQ(&os::CurrentRegistry(), &fixed);
    EXPECT_EQ(os::CurrentRegistry().ReadString(kMachine, "x", "y"), "fixed");
  }
  EXPECT_EQ(&os::CurrentRegistry(), system);
  EXPECT_EQ(os::InstallRegistry(&fixed), system);
  EXPECT_EQ(os::InstallRegistry(nullptr), &fixed);  // null puts the system one back
  EXPECT_EQ(&os::CurrentRegistry(), system);
}

}  // namespace
