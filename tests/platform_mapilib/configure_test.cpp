// Configuring the personal-folders service: every kind of unusable file fails with its own code
// and a readable reason; passwords are honoured; the logon needs a configured profile.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "tests/platform_mapilib/library_fixture.h"
#include "tests/platform_mapilib/writer_files.h"
#include "tests/support/scoped_environment.h"

namespace platform_mapilib_test {
namespace {

void PatchFile(const std::string& path, long offset, std::uint8_t value) {
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  file.seekp(offset);
  file.put(static_cast<char>(value));
}

TEST(ConfigureService, UnusableFilesFailWithDistinctCodesAndReasons) {
  const std::string missing = TempPath("missing.pst");
  std::remove(missing.c_str());
  const std::string directory = TempPath("dir.pst");
  std::filesystem::create_directory(directory);
  const std::string text = TempPath("text.pst");
  std::ofstream(text) << "From someone@example.org Mon Jan  1 00:00:00 2024\nSubject: hi\n\nbody\n";
  const std::string damaged = WriteMailFile("damaged.pst");
  PatchFile(damaged, 4, 0x5A);  // the header's partial checksum
  const std::string variant = WriteMailFile("variant.pst");
  PatchFile(variant, 10, 99);  // a file format version nobody writes

  std::set<HRESULT> codes;
  for (const auto& [path, words] :
       std::vector<std::pair<std::string, std::string>>{{missing, "does not exist"},
                                                        {directory, "directory"},
                                                        {text, "not a personal-folders file"},
                                                        {damaged, "damaged"},
                                                        {variant, "variant"}}) {
    const ConfigureResult result = ConfigureFile(path);
    EXPECT_TRUE(FAILED(result.code)) << path;
    EXPECT_NE(result.reason.find(words), std::string::npos) << result.reason;
    codes.insert(result.code);
  }
  EXPECT_EQ(codes.size(), 5u);
  EXPECT_EQ(ConfigureFile(missing).code, MAPI_E_NOT_FOUND);
  std::filesystem::remove(directory);
}

TEST(ConfigureService, WrongOrMissingPasswordIsRefusedAndTheRightOneOpens) {
  pstwriter::StoreOptions options;
  options.password = "secret";
  const std::string path = WriteMailFile("password.pst", options);
  const test_support::ScopedEnvironment no_password("PST2XMZ_PST_PASSWORD", std::nullopt);
  const ConfigureResult none = ConfigureFile(path);
  EXPECT_TRUE(FAILED(none.code));
  EXPECT_EQ(none.reason, "the file is password-protected");
  EXPECT_EQ(ConfigureFile(path, "wrong").reason, "the file is password-protected");
  EXPECT_EQ(ConfigureFile(path, "secret").code, S_OK);
}

TEST(ConfigureService, PasswordComesFromTheEnvironmentWhenTheProfileHasNone) {
  pstwriter::StoreOptions options;
  options.password = "fromenv";
  const std::string path = WriteMailFile("envpassword.pst", options);
  const test_support::ScopedEnvironment password("PST2XMZ_PST_PASSWORD", "fromenv");
  EXPECT_EQ(ConfigureFile(path).code, S_OK);
}

TEST(ConfigureService, RealPasswordProtectedSamplesOpenWithTheirPasswords) {
  if (SamplesDir().empty()) GTEST_SKIP() << "no sample files";
  for (const auto& [file, password] :
       std::vector<std::pair<std::string, std::string>>{{"pstsdk-test-ansi.pst", "test"},
                                                        {"aspose-password.pst", "Password1"},
                                                        {"jlp-passworded.pst", "testpassword"}}) {
    const std::string path = SamplesDir() + "/" + file;
    EXPECT_EQ(ConfigureFile(path, "nope").reason, "the file is password-protected") << file;
    EXPECT_EQ(ConfigureFile(path, password).code, S_OK) << file;
  }
}

TEST(Logon, WithoutProfileNameFailsWithLogonFailed) {
  UseBuiltLibrary();
  mapi::InterfacePtr<IMAPISession> session;
  EXPECT_EQ(mapi::MAPILogonEx(0, nullptr, nullptr, MAPI_LOGON_UI | MAPI_EXTENDED, session.Out()),
            MAPI_E_LOGON_FAILED);
  EXPECT_FALSE(session);
  char unknown[] = "NoSuchProfile";
  EXPECT_EQ(mapi::MAPILogonEx(0, unknown, nullptr, MAPI_EXTENDED, session.Out()),
            MAPI_E_LOGON_FAILED);
}

TEST(Logon, SessionStaysUsableAfterItsProfileIsDeleted) {
  const std::string path = WriteMailFile("deleted-profile.pst");
  UseBuiltLibrary();
  mapi::InterfacePtr<IProfAdmin> admin;
  ASSERT_EQ(mapi::MAPIAdminProfiles(0, admin.Out()), S_OK);
  char name[] = "ShortLived";
  char empty[] = "";
  ASSERT_EQ(admin->CreateProfile(name, empty, 0, 0), S_OK);
  EXPECT_EQ(admin->CreateProfile(name, empty, 0, 0), E_ACCESSDENIED);  // exists already
  mapi::InterfacePtr<IMsgServiceAdmin> services;
  ASSERT_EQ(admin->AdminServices(name, empty, 0, 0, services.Out()), S_OK);
  char unknown_service[] = "MSEMS";
  EXPECT_TRUE(FAILED(services->CreateMsgService(unknown_service, empty, 0, 0)));
  char service[] = "MSPST MS";
  ASSERT_EQ(services->CreateMsgService(service, empty, 0, 0), S_OK);
  mapi::InterfacePtr<IMAPITable> table;
  ASSERT_EQ(services->GetMsgServiceTable(0, table.Out()), S_OK);
  mapi::RowSetPtr rows = AllRows(*table, {PR_SERVICE_UID});
  MAPIUID uid{};
  std::memcpy(uid.ab, rows->aRow[0].lpProps[0].Value.bin.lpb, 16);
  SPropValue value{};
  value.ulPropTag = PR_PST_PATH;
  value.Value.lpszA = const_cast<char*>(path.c_str());
  ASSERT_EQ(services->ConfigureMsgService(&uid, 0, 0, 1, &value), S_OK);

  mapi::InterfacePtr<IMAPISession> session;
  ASSERT_EQ(mapi::MAPILogonEx(0, name, empty, MAPI_EXTENDED | MAPI_EXPLICIT_PROFILE, session.Out()),
            S_OK);
  EXPECT_EQ(admin->DeleteProfile(name, 0), S_OK);
  mapi::InterfacePtr<IMAPITable> stores;
  ASSERT_EQ(session->GetMsgStoresTable(0, stores.Out()), S_OK);
  mapi::RowSetPtr store_rows = AllRows(*stores, {PR_ENTRYID});
  ASSERT_EQ(store_rows->cRows, 1u);
  const SBinary& id = store_rows->aRow[0].lpProps[0].Value.bin;
  mapi::InterfacePtr<IMsgStore> store;
  EXPECT_EQ(session->OpenMsgStore(0, id.cb, id.lpb, nullptr, 0, store.Out()), S_OK);
}

}  // namespace
}  // namespace platform_mapilib_test
