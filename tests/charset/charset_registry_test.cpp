// The registry: the built-in sets in order with their exact texts, lookup ignoring case, the
// empty name, the fallback, first registration wins, and the search for character-set libraries.
#include <filesystem>
#include <fstream>

#include "platform/os/dynamic_library.h"
#include "platform/os/module_path.h"
#include "support/charset/charset_registry.h"
#include "support/charset/pl_converter.h"
#include "tests/charset/byte_strings.h"
#include "tests/support/temp_dir.h"

namespace charset::testing {
namespace {

namespace fs = std::filesystem;

class Registry : public ::testing::Test {
 protected:
  void SetUp() override { registry().ResetForTesting({}); }
  void TearDown() override {
    registry().ResetForTesting(TPlCharsetRegistry::DefaultLibraryDirectories());
  }
  static TPlCharsetRegistry& registry() { return TPlCharsetRegistry::Instance(); }
  static std::string NameOf(std::string_view alias) {
    const TPlCharsetInfo* info = registry().Find(alias);
    return info ? info->name : "(none)";
  }
};

struct BuiltIn {
  const char* aliases;
  const char* category;
  const char* description;
};

const BuiltIn kBuiltIns[] = {
    {"utf-32,utf-32LE,utf32", "Unicode", "Unicode (UTF-32)"},
    {"utf-32BE,utf32BE", "Unicode", "Unicode (UTF-32 Big Endian)"},
    {"utf-16,,utf-16LE,unicode,iso-10646-utf-16,utf16,1200", "Unicode", "Unicode (UTF-16)"},
    {"utf-16BE,unicodeFFFE,1201", "Unicode", "Unicode (UTF-16 Big Endian)"},
    {"utf-8,iso-10646-utf-8,utf8,unicode-1-1-utf-8,unicode-2-0-utf-8,x-unicode-2-0-utf-8,65001",
     "Unicode", "Unicode (UTF-8)"},
    {"unicode-1-1-utf-7,utf-7,csUnicode11,UTF7,x-unicode-2-0-utf-7,65000", "Unicode",
     "Unicode (UTF-7)"},
    {"us-ascii,ansi_x3.4-1968,ansi_x3.4-1986,iso_646.irv:1991,ascii,iso646-us,us,ibm367,cp367,"
     "csascii,20127",
     "United States", "US-ASCII (7 bit)"},
    {"iso-8859-1,cp819,ibm819,iso_8859-1,iso_8859-1:1987,iso8859-1,iso-ir-100,iso-ir-6,latin1,l1,"
     "csisolatin1,x-ansi,28591",
     "Western European", "Western European (ISO-8859-1)"},
};

TEST_F(Registry, BuiltInSetsInOrderWithTheirTexts) {
  const std::vector<const TPlCharsetInfo*> entries = registry().Entries();
  ASSERT_EQ(entries.size(), std::size(kBuiltIns));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string_view aliases = kBuiltIns[i].aliases;
    EXPECT_EQ(entries[i]->name, aliases.substr(0, aliases.find(',')));
    EXPECT_EQ(entries[i]->category, kBuiltIns[i].category);
    EXPECT_EQ(entries[i]->description, kBuiltIns[i].description);
    EXPECT_EQ(entries[i]->library, nullptr);
    EXPECT_EQ(entries[i]->Create()->Aliases(), aliases);
  }
}

TEST_F(Registry, EveryAliasFindsItsSetIgnoringCase) {
  for (const BuiltIn& set : kBuiltIns) {
    std::string_view aliases = set.aliases;
    const std::string name(aliases.substr(0, aliases.find(',')));
    while (!aliases.empty()) {
      const std::size_t comma = std::min(aliases.find(','), aliases.size());
      std::string alias(aliases.substr(0, comma));
      EXPECT_EQ(NameOf(alias), name) << alias;
      for (char& c : alias) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      EXPECT_EQ(NameOf(alias), name) << alias;
      aliases.remove_prefix(std::min(comma + 1, aliases.size()));
    }
  }
  EXPECT_EQ(NameOf("Utf8"), "utf-8");
  EXPECT_EQ(NameOf("uTF-16le"), "utf-16");
}

TEST_F(Registry, EmptyNameSelectsLittleEndianUtf16) {
  EXPECT_EQ(NameOf(""), "utf-16");
  EXPECT_EQ(TPlConverter("", "utf-8").Convert(Bytes({0x41, 0x00, 0xE9, 0x00})), "A\u00E9");
}

TEST_F(Registry, UnknownNameFallsBackToLatin1) {
  EXPECT_EQ(registry().Find("x-no-such-set"), nullptr);
  EXPECT_EQ(registry().Create("x-no-such-set")->Description(), "Western European (ISO-8859-1)");
  // Lookup folds ASCII letters only.
  EXPECT_EQ(registry().Find("\xC3\xBCtf-8"), nullptr);
}

TEST_F(Registry, FirstRegistrationKeepsItsAliases) {
  const PlCharsetFactory make_ascii = [] { return registry().Create("ascii").release(); };
  EXPECT_FALSE(registry().Register("x-new,UTF8", "Test", "Clash", make_ascii));
  EXPECT_EQ(registry().Find("x-new"), nullptr);
  EXPECT_EQ(NameOf("utf8"), "utf-8");
  EXPECT_TRUE(registry().Register("x-new,x-newer", "Test", "Fresh", make_ascii));
  EXPECT_EQ(NameOf("X-NEWER"), "x-new");
  EXPECT_EQ(registry().Find("x-new")->description, "Fresh");
}

TEST_F(Registry, FactoryThatFailsFallsBackToLatin1) {
  ASSERT_TRUE(
      registry().Register("x-broken", "Test", "Broken", [] { return (TPlCharset*)nullptr; }));
  EXPECT_EQ(registry().Create("x-broken")->Description(), "Western European (ISO-8859-1)");
  EXPECT_EQ(TPlConverter("x-broken", "utf-8").Convert("\xE9"), "\u00E9");
}

// A directory of its own, removed afterwards.
class LibraryDirectory : public Registry {
 protected:
  void CopyFixture(const char* name) {
    fs::copy_file(fs::path(PST2XMZ_CHARSET_FIXTURE_DIR) / name, dir_ / name);
  }
  test_support::TempDir temp_;
  fs::path dir_ = temp_.path();
};

TEST_F(LibraryDirectory, FilesThatAreNotLibrariesOrLackTheEntryAreSkipped) {
  std::ofstream(dir_ / "garbage.chl") << "not a shared object";
  fs::create_directory(dir_ / "folder.chl");
  CopyFixture("no_entry.chl");
  CopyFixture("test_sets.chl");
  registry().ResetForTesting({dir_.string(), (dir_ / "missing").string()});
  EXPECT_EQ(registry().LibraryCount(), 1u);
  const TPlCharsetInfo* rot13 = registry().Find("X-ROT13");
  ASSERT_NE(rot13, nullptr);
  EXPECT_EQ(rot13->name, "x-test-rot13");
  EXPECT_NE(rot13->library, nullptr);
  EXPECT_EQ(TPlConverter("utf-8", "x-rot13").Convert("Hello"), "Uryyb");
  // Its set that clashes with a built-in alias is ignored as a whole.
  EXPECT_EQ(registry().Find("x-test-clash"), nullptr);
  EXPECT_EQ(NameOf("utf-8"), "utf-8");
}

TEST_F(LibraryDirectory, WithoutALibraryUnknownNamesAreNamedOnceInTheNotice) {
  registry().ResetForTesting({dir_.string()});
  EXPECT_EQ(registry().MissingLibraryNotice(), "");
  EXPECT_EQ(TPlConverter("Shift_JIS", "utf-8").Convert("\xE9"), "\xC3\xA9");
  TPlConverter("utf-8", "big5");
  TPlConverter("SHIFT_JIS", "utf-8");
  TPlConverter("utf-16", "us-ascii");  // known: not named
  EXPECT_EQ(registry().MissingLibraryNotice(),
            "Code page library not found (no *.chl file in " + dir_.string() +
                "): texts in big5, Shift_JIS are read as ISO-8859-1");
}

TEST_F(LibraryDirectory, UnreadableLibraryIsNamedWithItsReason) {
  std::ofstream(dir_ / "codepages.chl") << "not a shared object";
  registry().ResetForTesting({dir_.string()});
  TPlConverter("euc-kr", "utf-8");
  const std::string notice = registry().MissingLibraryNotice();
  EXPECT_EQ(notice.rfind("Code page library not found (" + (dir_ / "codepages.chl").string(), 0),
            0u)
      << notice;
  EXPECT_NE(notice.find("): texts in euc-kr are read as ISO-8859-1"), std::string::npos) << notice;
}

TEST_F(LibraryDirectory, WithALibraryNothingIsSaid) {
  CopyFixture("test_sets.chl");
  registry().ResetForTesting({dir_.string()});
  TPlConverter("x-unknown-set", "utf-8");
  EXPECT_EQ(registry().MissingLibraryNotice(), "");
}

TEST_F(LibraryDirectory, FilesWithOtherExtensionsAreNotLoaded) {
  fs::copy_file(fs::path(PST2XMZ_CHARSET_FIXTURE_DIR) / "test_sets.chl", dir_ / "test_sets.so");
  registry().ResetForTesting({dir_.string()});
  EXPECT_EQ(registry().LibraryCount(), 0u);
  EXPECT_EQ(registry().Find("x-rot13"), nullptr);
}

TEST_F(LibraryDirectory, EarlierDirectoryWins) {
  CopyFixture("test_sets.chl");
  registry().ResetForTesting({dir_.string(), PST2XMZ_CHARSET_FIXTURE_DIR});
  // The second copy registers nothing new and is not kept.
  EXPECT_EQ(registry().LibraryCount(), 1u);
  EXPECT_NE(registry().Find("x-rot13"), nullptr);
}

TEST(LibrarySearch, ProgramDirectoryComesFirst) {
  const std::vector<std::string> dirs = TPlCharsetRegistry::DefaultLibraryDirectories();
  ASSERT_FALSE(dirs.empty());
  EXPECT_EQ(dirs.front(), os::ExecutableDirectory());
}

TEST(LibraryAbi, OtherVersionRegistersNothing) {
  const auto library = os::DynamicLibrary::Load(std::string(PST2XMZ_BIN_DIR) + "/codepages.chl");
  ASSERT_NE(library, nullptr);
  const auto entry =
      reinterpret_cast<PlRegisterCharsetLibrary>(library->Find(kPlCharsetLibraryEntry));
  ASSERT_NE(entry, nullptr);
  int calls = 0;
  const PlRegisterCharset count = [](void* host, const char*, const char*, const char*,
                                     PlCharsetFactory) { ++*static_cast<int*>(host); };
  entry(kPlCharsetLibraryAbiVersion + 1, count, &calls);
  EXPECT_EQ(calls, 0);
  entry(kPlCharsetLibraryAbiVersion, count, &calls);
  EXPECT_GT(calls, 30);
}

}  // namespace
}  // namespace charset::testing
