// GUIDs, calendar names, text comparison ignoring case, the executable's own path, dynamic
// libraries and the event-log sink.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "platform/os/calendar_names.h"
#include "platform/os/dynamic_library.h"
#include "platform/os/event_log.h"
#include "platform/os/guid.h"
#include "platform/os/module_path.h"
#include "platform/os/path_status.h"
#include "platform/os/text_compare.h"
#include "tests/support/temp_dir.h"
#include "tests/support/whole_file.h"

namespace {

namespace fs = std::filesystem;

TEST(Guid, RandomVersionFourWithTheStandardVariant) {
  std::set<os::Guid> seen;
  for (int i = 0; i < 100; ++i) {
    const os::Guid guid = os::CurrentGuidSource().NewGuid();
    EXPECT_EQ(guid[7] >> 4, 4);       // version, high nibble of the third field
    EXPECT_EQ(guid[8] & 0xC0, 0x80);  // variant
    seen.insert(guid);
  }
  EXPECT_EQ(seen.size(), 100u);
}

TEST(CalendarNames, EnglishWithEmptyOutsideTheRange) {
  EXPECT_EQ(os::ShortDayName(0), "Sun");
  EXPECT_EQ(os::ShortDayName(6), "Sat");
  EXPECT_EQ(os::ShortDayName(7), "");
  EXPECT_EQ(os::ShortDayName(-1), "");
  EXPECT_EQ(os::ShortMonthName(1), "Jan");
  EXPECT_EQ(os::ShortMonthName(12), "Dec");
  EXPECT_EQ(os::ShortMonthName(0), "");
  EXPECT_EQ(os::ShortMonthName(13), "");
}

TEST(TextCompare, FoldsUnicodeCase) {
  EXPECT_TRUE(os::EqualsTextIgnoreCase("Inbox", "INBOX"));
  EXPECT_TRUE(os::EqualsTextIgnoreCase("\xC3\x84pfel", "\xC3\xA4PFEL"));  // Äpfel / äPFEL
  EXPECT_TRUE(os::EqualsTextIgnoreCase("\xCE\xA3", "\xCF\x83"));          // Σ / σ
  EXPECT_FALSE(os::EqualsTextIgnoreCase("Inbox", "Inbox2"));
}

TEST(TextCompare, OrdersLikeStrcmpAfterFolding) {
  EXPECT_LT(os::CompareTextIgnoreCase("apple", "BANANA"), 0);
  EXPECT_GT(os::CompareTextIgnoreCase("Banana", "apple"), 0);
  EXPECT_LT(os::CompareTextIgnoreCase("abc", "ABCD"), 0);
  EXPECT_EQ(os::CompareTextIgnoreCase("", ""), 0);
}

TEST(TextCompare, InvalidBytesCompareAsThemselves) {
  EXPECT_FALSE(os::EqualsTextIgnoreCase("\xFF", "\xFE"));
  EXPECT_TRUE(os::EqualsTextIgnoreCase("a\xFF", "A\xFF"));
  EXPECT_FALSE(os::EqualsTextIgnoreCase("\xC3", "\xC3\xA4"));
}

TEST(TextCompare, AsciiFormFoldsOnlyAsciiLetters) {
  EXPECT_TRUE(os::EqualsIgnoreAsciiCase("MAPIX", "mapix"));
  EXPECT_FALSE(os::EqualsIgnoreAsciiCase("\xC3\x84", "\xC3\xA4"));
  EXPECT_FALSE(os::EqualsIgnoreAsciiCase("abc", "abcd"));
}

TEST(ModulePath, ThisTestProgram) {
  const std::string path = os::ExecutablePath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.front(), '/');
  EXPECT_EQ(fs::path(path).filename(), "os_tests");
  EXPECT_EQ(os::ExecutableDirectory() + "/os_tests", path);
  EXPECT_EQ(fs::weakly_canonical(os::ExecutableDirectory()),
            fs::weakly_canonical(fs::path(PST2XMZ_BIN_DIR) / ".." / "tests"));
}

TEST(DynamicLibrary, FindsAnEntryOfALoadedLibrary) {
  std::string error;
  auto library = os::DynamicLibrary::Load("libc.so.6", &error);
  ASSERT_NE(library, nullptr) << error;
  EXPECT_NE(library->Find("strlen"), nullptr);
  EXPECT_EQ(library->Find("no_such_entry_in_libc"), nullptr);
}

TEST(DynamicLibrary, WhatIsNoLibraryFailsWithAReason) {
  const test_support::TempDir temp;
  const fs::path dir = temp.path();
  { std::ofstream(dir / "text.chl") << "not a library"; }
  for (const fs::path& path : {dir / "missing.so", dir / "text.chl", dir}) {
    std::string error;
    EXPECT_EQ(os::DynamicLibrary::Load(path.string(), &error), nullptr) << path;
    EXPECT_FALSE(error.empty()) << path;
  }
  std::string error;
  os::DynamicLibrary::Load(dir.string(), &error);
  EXPECT_NE(error.find("is a directory"), std::string::npos);
  EXPECT_EQ(os::DynamicLibrary::Load((dir / "missing.so").string()), nullptr);  // no reason asked
}

TEST(EventLogSink, SystemLogIsUsableAndReplaceable) {
  EXPECT_TRUE(os::CurrentEventLog().Usable());
  class Silent : public os::EventLog {
   public:
    bool Usable() const override { return false; }
    bool RegisterSource(std::string_view) override { return false; }
    void Report(os::EventType, std::uint32_t, std::string_view) override {}
    void DeregisterSource() override {}
  } silent;
  os::ScopedEventLog scoped(silent);
  EXPECT_FALSE(os::CurrentEventLog().Usable());
}

TEST(PathStatus, KindOfEachThingFollowingLinks) {
  const test_support::TempDir temp;
  const fs::path dir(temp.path());
  std::ofstream(dir / "mail.pst") << "x";
  fs::create_directory(dir / "folder");
  fs::create_symlink(dir / "folder", dir / "link-to-folder");
  fs::create_symlink(dir / "gone", dir / "dangling");
  fs::create_symlink(dir / "loop", dir / "loop");
  const std::pair<std::string, os::PathKind> cases[] = {
      {(dir / "mail.pst").string(), os::PathKind::kRegular},
      {(dir / "folder").string(), os::PathKind::kDirectory},
      {(dir / "link-to-folder").string(), os::PathKind::kDirectory},
      {"/dev/null", os::PathKind::kOther},
      {(dir / "absent").string(), os::PathKind::kMissing},
      {(dir / "mail.pst" / "inside").string(), os::PathKind::kMissing},  // not a folder on the way
      {(dir / "dangling").string(), os::PathKind::kMissing},
      {(dir / "loop").string(), os::PathKind::kUnknown},
  };
  for (const auto& [path, kind] : cases) {
    const os::PathStatus status = os::StatusOfPath(path);
    EXPECT_EQ(status.kind, kind) << path;
    EXPECT_EQ(status.Exists(), kind != os::PathKind::kMissing && kind != os::PathKind::kUnknown)
        << path;
    EXPECT_EQ(status.failure.empty(), kind != os::PathKind::kUnknown) << path << status.failure;
  }
}

}  // namespace
