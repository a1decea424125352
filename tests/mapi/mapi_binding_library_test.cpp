// The binding against real shared objects: arguments and results pass through unchanged, a missing
// export fails alone, and files that are no usable library fail the binding cleanly.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/mapi/binding_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/whole_file.h"

namespace mapi_test {
namespace {

using LibraryBindingTest = BindingTest;

using test_support::ReadWholeFile;
using test_support::TempDir;

// The name the binding looks HrGetOneProp up by.
#if defined(_WIN32) && !defined(_WIN64)
constexpr const char* kHrGetOnePropExport = "HrGetOneProp@12";
#else
constexpr const char* kHrGetOnePropExport = "HrGetOneProp";
#endif

unsigned ReadLittleEndian16(const std::string& bytes, std::size_t offset) {
  return static_cast<unsigned char>(bytes[offset]) | static_cast<unsigned char>(bytes[offset + 1])
                                                         << 8;
}

void WriteLittleEndian16(std::string& bytes, std::size_t offset, unsigned value) {
  bytes[offset] = static_cast<char>(value & 0xFF);
  bytes[offset + 1] = static_cast<char>(value >> 8);
}

// Changes the processor a library is built for: ELF e_machine (offset 18) to SPARC, or SPARC V9
// when it was SPARC; a Windows image's Machine field (after "PE\0\0" at the offset that 0x3C holds)
// to ARM64, or x86 when it was ARM64. False when `bytes` is neither.
bool RelabelForAnotherMachine(std::string& bytes) {
  if (bytes.size() > 20 && bytes.compare(0, 4,
                                         "\x7F"
                                         "ELF") == 0) {
    WriteLittleEndian16(bytes, 18, ReadLittleEndian16(bytes, 18) == 43 ? 2 : 43);
    return true;
  }
  if (bytes.size() < 0x40 || bytes.compare(0, 2, "MZ") != 0) return false;
  const std::size_t pe = ReadLittleEndian16(bytes, 0x3C) | ReadLittleEndian16(bytes, 0x3E) << 16;
  if (pe + 6 > bytes.size() || bytes.compare(pe, 4, std::string("PE\0\0", 4)) != 0) return false;
  WriteLittleEndian16(bytes, pe + 4, ReadLittleEndian16(bytes, pe + 4) == 0xAA64 ? 0x14C : 0xAA64);
  return true;
}

// Writes `content` as `name` in the folder and returns the file's path.
std::string PutFile(const TempDir& folder, const std::string& name, const std::string& content) {
  test_support::WriteWholeFile(folder / name, content);
  return folder / name;
}

TEST_F(LibraryBindingTest, LogonPassesEveryArgumentAndTheSessionThrough) {
  fake_mapi::Log& log = FreshLogOf(kFullLibrary);
  InstallLibrary(kFullLibrary);
  auto* session = reinterpret_cast<LPMAPISESSION>(static_cast<std::uintptr_t>(0x5000));
  log.logon_session = session;
  char profile[] = "PstLoadTmp000";
  char password[] = "";

  LPMAPISESSION out = nullptr;
  const ULONG flags = MAPI_NEW_SESSION | MAPI_EXPLICIT_PROFILE | MAPI_EXTENDED | MAPI_NO_MAIL;
  EXPECT_EQ(mapi::MAPILogonEx(77, profile, password, flags, &out), S_OK);

  EXPECT_EQ(out, session);
  EXPECT_EQ(log.logon_ui_param, 77u);
  EXPECT_EQ(log.logon_profile, profile);
  EXPECT_EQ(log.logon_password, password);
  EXPECT_EQ(log.logon_flags, 0x00008032u);
}

TEST_F(LibraryBindingTest, FailingLogonLeavesNoStaleSession) {
  fake_mapi::Log& log = FreshLogOf(kFullLibrary);
  InstallLibrary(kFullLibrary);
  log.logon_result = MAPI_E_LOGON_FAILED;

  auto* out = reinterpret_cast<LPMAPISESSION>(static_cast<std::uintptr_t>(0x10));
  EXPECT_EQ(mapi::MAPILogonEx(0, nullptr, nullptr, 0, &out), MAPI_E_LOGON_FAILED);
  EXPECT_EQ(out, nullptr);
}

TEST_F(LibraryBindingTest, QueryAllRowsPassesItsSixArgumentsThrough) {
  fake_mapi::Log& log = FreshLogOf(kFullLibrary);
  InstallLibrary(kFullLibrary);
  auto* table = reinterpret_cast<LPMAPITABLE>(static_cast<std::uintptr_t>(0x7000));
  SPropTagArray tags{1, {PR_RECIPIENT_TYPE}};
  SSortOrderSet sort{0, 0, 0, {}};

  LPSRowSet rows = nullptr;
  EXPECT_EQ(mapi::HrQueryAllRows(table, &tags, nullptr, &sort, 25, &rows), S_OK);

  EXPECT_EQ(log.query_table, table);
  EXPECT_EQ(log.query_tags, &tags);
  EXPECT_EQ(log.query_restriction, nullptr);
  EXPECT_EQ(log.query_sort, &sort);
  EXPECT_EQ(log.query_row_limit, 25);
  ASSERT_NE(rows, nullptr);
  EXPECT_EQ(rows->cRows, 0u);

  mapi::FreeProws(rows);
  EXPECT_EQ(log.freed_rows, rows);
  EXPECT_EQ(log.live_blocks, 0);
}

TEST_F(LibraryBindingTest, ValidateIpmSubtreeHandsBackTheLibrarysValues) {
  fake_mapi::Log& log = FreshLogOf(kFullLibrary);
  InstallLibrary(kFullLibrary);
  auto* store = reinterpret_cast<LPMDB>(static_cast<std::uintptr_t>(0x9000));

  ULONG count = 0;
  LPSPropValue values = nullptr;
  EXPECT_EQ(mapi::HrValidateIPMSubtree(store, MAPI_FULL_IPM_TREE, &count, &values, nullptr), S_OK);

  EXPECT_EQ(log.validate_store, store);
  EXPECT_EQ(log.validate_flags, MAPI_FULL_IPM_TREE);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(values[0].ulPropTag, PR_VALID_FOLDER_MASK);
  EXPECT_EQ(mapi::MAPIFreeBuffer(values), S_OK);
  EXPECT_EQ(log.live_blocks, 0);
}

TEST_F(LibraryBindingTest, WrapCompressedRtfStreamPassesStreamAndFlags) {
  fake_mapi::Log& log = FreshLogOf(kFullLibrary);
  InstallLibrary(kFullLibrary);
  auto* compressed = reinterpret_cast<LPSTREAM>(static_cast<std::uintptr_t>(0xA000));

  LPSTREAM uncompressed = nullptr;
  EXPECT_EQ(mapi::WrapCompressedRTFStream(compressed, STORE_UNCOMPRESSED_RTF, &uncompressed), S_OK);

  EXPECT_EQ(log.wrap_source, compressed);
  EXPECT_EQ(log.wrap_flags, STORE_UNCOMPRESSED_RTF);
  EXPECT_EQ(uncompressed, compressed);
}

TEST_F(LibraryBindingTest, AdminProfilesReturnsTheLibrarysResult) {
  fake_mapi::Log& log = FreshLogOf(kFullLibrary);
  InstallLibrary(kFullLibrary);

  LPPROFADMIN admin = nullptr;
  EXPECT_EQ(mapi::MAPIAdminProfiles(0, &admin), MAPI_E_NO_SUPPORT);
  EXPECT_EQ(log.calls[fake_mapi::kAdminProfiles], 1);
}

TEST_F(LibraryBindingTest, MissingExportFailsOnlyItsOwnWrapper) {
  fake_mapi::Log& log = FreshLogOf(kLibraryWithoutGetOneProp);
  InstallLibrary(kLibraryWithoutGetOneProp);

  auto* value = reinterpret_cast<LPSPropValue>(static_cast<std::uintptr_t>(0x10));
  EXPECT_EQ(mapi::HrGetOneProp(nullptr, PR_HASATTACH, &value), E_FAIL);
  EXPECT_EQ(value, nullptr);
  EXPECT_EQ(mapi::HrGetOneProp(nullptr, PR_HASATTACH, &value), E_FAIL);
  EXPECT_EQ(mapi::MapiLibraryFailure(), "Cannot load the mail library " +
                                            std::string(kLibraryWithoutGetOneProp) +
                                            ": it has no entry \"" + kHrGetOnePropExport + "\"");

  EXPECT_EQ(mapi::MAPIInitialize(nullptr), S_OK);
  void* buffer = nullptr;
  EXPECT_EQ(mapi::MAPIAllocateBuffer(8, &buffer), S_OK);
  EXPECT_EQ(mapi::MAPIFreeBuffer(buffer), S_OK);
  EXPECT_EQ(log.calls[fake_mapi::kInitialize], 1);
  EXPECT_EQ(log.live_blocks, 0);
}

TEST_F(LibraryBindingTest, FailedLookupIsRetriedAndAFoundAddressKept) {
  if (kLibraryWithFlakyGetOneProp.empty()) {
    GTEST_SKIP() << "a look-up that fails on request needs an ELF indirect function";
  }
  fake_mapi::Log& log = FreshLogOf(kLibraryWithFlakyGetOneProp);
  InstallLibrary(kLibraryWithFlakyGetOneProp);
  log.lookups_to_fail = 1;

  LPSPropValue value = nullptr;
  EXPECT_EQ(mapi::HrGetOneProp(nullptr, PR_SUBJECT, &value), E_FAIL);
  EXPECT_EQ(log.get_one_prop_lookups, 1);

  EXPECT_EQ(mapi::HrGetOneProp(nullptr, PR_SUBJECT, &value), S_OK);
  EXPECT_EQ(log.get_one_prop_lookups, 2);
  mapi::MAPIFreeBuffer(value);

  EXPECT_EQ(mapi::HrGetOneProp(nullptr, PR_SUBJECT, &value), S_OK);
  EXPECT_EQ(log.get_one_prop_lookups, 2);
  mapi::MAPIFreeBuffer(value);
  EXPECT_EQ(log.calls[fake_mapi::kGetOneProp], 2);
}

TEST_F(LibraryBindingTest, GetOnePropOfTheFullLibraryWorks) {
  fake_mapi::Log& log = FreshLogOf(kFullLibrary);
  InstallLibrary(kFullLibrary);

  LPSPropValue value = nullptr;
  EXPECT_EQ(mapi::HrGetOneProp(nullptr, PR_HASATTACH, &value), S_OK);
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->ulPropTag, PR_HASATTACH);
  EXPECT_EQ(log.get_prop_tag, PR_HASATTACH);
  mapi::MAPIFreeBuffer(value);
}

TEST_F(LibraryBindingTest, PathLongerThan260BytesIsLoaded) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows loads a library by a path of at most MAX_PATH (260) bytes";
#endif
  TempDir folder;
  std::filesystem::path deep = folder.path();
  for (int i = 0; i < 8; ++i) deep /= std::string(40, static_cast<char>('a' + i));
  std::filesystem::create_directories(deep);
  const auto copy = deep / "libmapi32.so";
  std::filesystem::copy_file(kFullLibrary, copy);
  ASSERT_GT(copy.string().size(), 260u);
  fake_mapi::Log& log = FreshLogOf(copy.string());
  InstallLibrary(copy.string());

  EXPECT_EQ(mapi::MAPIInitialize(nullptr), S_OK);
  EXPECT_EQ(mapi::MapiLibraryPath(), copy.string());
  EXPECT_EQ(log.calls[fake_mapi::kInitialize], 1);
}

TEST_F(LibraryBindingTest, MissingFileFailsCleanly) {
  TempDir folder;
  const std::string path = folder / "absent.so";
  InstallLibrary(path);

  ExpectEveryWrapperFails();
  EXPECT_FALSE(mapi::MapiLibraryLoadError().empty());
  EXPECT_EQ(mapi::MapiLibraryFailure(),
            "Cannot load the mail library " + path + ": " + mapi::MapiLibraryLoadError());
}

TEST_F(LibraryBindingTest, DirectoryFailsCleanly) {
  TempDir folder;
  InstallLibrary(folder.path());

  ExpectEveryWrapperFails();
  EXPECT_FALSE(mapi::MapiLibraryLoadError().empty());
}

TEST_F(LibraryBindingTest, EmptyFileFailsCleanly) {
  TempDir folder;
  InstallLibrary(PutFile(folder, "empty.so", ""));

  ExpectEveryWrapperFails();
}

TEST_F(LibraryBindingTest, TextFileFailsCleanly) {
  TempDir folder;
  InstallLibrary(PutFile(folder, "notes.so", "MAPIInitialize MAPILogonEx\nnot a library\n"));

  ExpectEveryWrapperFails();
}

TEST_F(LibraryBindingTest, TruncatedLibraryFailsCleanly) {
  TempDir folder;
  InstallLibrary(PutFile(folder, "truncated.so", ReadWholeFile(kFullLibrary).substr(0, 200)));

  ExpectEveryWrapperFails();
}

// The stand-in library itself, relabelled for another processor.
TEST_F(LibraryBindingTest, LibraryForAnotherArchitectureFailsCleanly) {
  std::string bytes = ReadWholeFile(kFullLibrary);
  ASSERT_TRUE(RelabelForAnotherMachine(bytes));
  TempDir folder;
  InstallLibrary(PutFile(folder, "foreign.so", bytes));

  ExpectEveryWrapperFails();
  EXPECT_FALSE(mapi::MapiLibraryLoadError().empty());
}

}  // namespace
}  // namespace mapi_test
