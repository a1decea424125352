// Windows services as the system provides them: number values in the registry, path spellings
// that differ only in case, the ANSI code page.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/os/ansi_code_page.h"
#include "platform/os/path_resolution.h"
#include "platform/os/registry.h"

namespace {

TEST(WindowsRegistry, NumberValueIsADword) {
  const std::string key = "Software\\pst2xmz-test-" + std::to_string(GetCurrentProcessId());
  os::Registry& registry = os::CurrentRegistry();
  ASSERT_TRUE(registry.WriteNumber(os::Hive::kCurrentUser, key, "TypesSupported", 7));
  ASSERT_TRUE(registry.WriteValue(os::Hive::kCurrentUser, key, "Text", "7"));
  DWORD type = 0, value = 0, size = sizeof value;
  EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, key.c_str(), "TypesSupported", RRF_RT_ANY, &type,
                         &value, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(value, 7u);
  char text[8] = {};
  size = sizeof text;
  EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, key.c_str(), "Text", RRF_RT_ANY, &type, text, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(text, "7");
  RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
}

TEST(WindowsPaths, SpellingsThatDifferInCaseAreOnePath) {
  EXPECT_TRUE(os::SamePathSpelling("C:\\Mail\\Archive.xmz", "c:\\MAIL\\archive.XMZ"));
  EXPECT_TRUE(os::SamePathSpelling(os::FinalTarget("C:\\Mail\\.\\x\\..\\Out.idx"),
                                   os::FinalTarget("c:\\mail\\out.IDX")));
  EXPECT_FALSE(os::SamePathSpelling("C:\\Mail\\Archive.xmz", "C:\\Mail\\Archive.idx"));
  EXPECT_FALSE(os::SamePathSpelling("C:\\Mail\\Archive", "C:\\Mail\\Archive2"));
}

TEST(WindowsAnsiCodePage, IsTheSystems) { EXPECT_EQ(os::AnsiCodePage(), GetACP()); }

}  // namespace
