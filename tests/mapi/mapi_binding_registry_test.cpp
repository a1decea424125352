// How the binding decides from the registry whether and which mail library to load.
#include <gtest/gtest.h>

#include "tests/mapi/binding_fixture.h"

namespace mapi_test {
namespace {

using RegistryBindingTest = BindingTest;

TEST_F(RegistryBindingTest, MapixOneAndDllPathExLoadsTheNamedFile) {
  fake_mapi::Log& log = FreshLogOf(kFullLibrary);
  InstallLibrary(kFullLibrary);
  MAPIINIT_0 init{MAPI_INIT_VERSION, 0};

  EXPECT_EQ(mapi::MAPIInitialize(&init), S_OK);

  EXPECT_EQ(mapi::MapiLibraryPath(), kFullLibrary);
  EXPECT_EQ(log.calls[fake_mapi::kInitialize], 1);
  EXPECT_EQ(log.init_argument, &init);
}

TEST_F(RegistryBindingTest, MapixOneWithoutDllPathExLoadsTheDefaultName) {
  fake_mapi::Log& log = FreshLogOf(kDefaultNameDirectory + "/MAPI32.DLL");
  registry_.mapix = "1";

  EXPECT_EQ(mapi::MAPIInitialize(nullptr), S_OK);

  EXPECT_EQ(mapi::MapiLibraryPath(), "MAPI32.DLL");
  EXPECT_EQ(log.calls[fake_mapi::kInitialize], 1);
}

TEST_F(RegistryBindingTest, MapixZeroLoadsNothing) {
  fake_mapi::Log& log = FreshLogOf(kFullLibrary);
  InstallLibrary(kFullLibrary);
  registry_.mapix = "0";

  ExpectEveryWrapperFails();
  EXPECT_EQ(log.calls[fake_mapi::kInitialize], 0);
  EXPECT_EQ(mapi::MapiLibraryPath(), "MAPI32.DLL");
}

TEST_F(RegistryBindingTest, MapixOneFollowedByMoreTextLoadsNothing) {
  fake_mapi::Log& log = FreshLogOf(kFullLibrary);
  InstallLibrary(kFullLibrary);
  registry_.mapix = "1x";

  ExpectEveryWrapperFails();
  EXPECT_EQ(log.calls[fake_mapi::kInitialize], 0);
}

TEST_F(RegistryBindingTest, MapixMissingLoadsNothing) {
  fake_mapi::Log& log = FreshLogOf(kFullLibrary);
  registry_.dll_path = kFullLibrary;

  ExpectEveryWrapperFails();
  EXPECT_EQ(log.calls[fake_mapi::kInitialize], 0);
  EXPECT_FALSE(mapi::MapiLibraryLoadError().empty());
}

TEST_F(RegistryBindingTest, MapixEmptyLoadsNothing) {
  InstallLibrary(kFullLibrary);
  registry_.mapix = "";

  ExpectEveryWrapperFails();
}

TEST_F(RegistryBindingTest, MapixOneEndedByAZeroByteCounts) {
  fake_mapi::Log& log = FreshLogOf(kFullLibrary);
  InstallLibrary(kFullLibrary);
  registry_.mapix = std::string("1\0z", 3);

  EXPECT_EQ(mapi::MAPIInitialize(nullptr), S_OK);
  EXPECT_EQ(log.calls[fake_mapi::kInitialize], 1);
}

TEST_F(RegistryBindingTest, SystemsUpTo351DoNotConsultTheRegistrySwitch) {
  InstallLibrary(kFullLibrary);
  registry_.version = {3, 51, 2};

  ExpectEveryWrapperFails();
}

TEST_F(RegistryBindingTest, SystemsAbove351ConsultTheRegistrySwitch) {
  fake_mapi::Log& log = FreshLogOf(kFullLibrary);
  InstallLibrary(kFullLibrary);
  registry_.version = {3, 52, 2};

  EXPECT_EQ(mapi::MAPIInitialize(nullptr), S_OK);
  EXPECT_EQ(log.calls[fake_mapi::kInitialize], 1);
}

TEST_F(RegistryBindingTest, FailedBindingIsNeverRetried) {
  registry_.mapix = "0";
  EXPECT_EQ(mapi::MAPIInitialize(nullptr), E_FAIL);
  const int reads_after_first_call = registry_.reads;
  ASSERT_GT(reads_after_first_call, 0);

  // Even once the registry would allow it, the process keeps its first answer.
  InstallLibrary(kFullLibrary);
  EXPECT_EQ(mapi::MAPIInitialize(nullptr), E_FAIL);
  EXPECT_EQ(mapi::HrGetOneProp(nullptr, PR_SUBJECT, nullptr), E_FAIL);
  EXPECT_EQ(registry_.reads, reads_after_first_call);
}

TEST_F(RegistryBindingTest, SuccessfulBindingReadsTheRegistryOnce) {
  FreshLogOf(kFullLibrary);
  InstallLibrary(kFullLibrary);

  EXPECT_EQ(mapi::MAPIInitialize(nullptr), S_OK);
  const int reads_after_first_call = registry_.reads;
  EXPECT_EQ(mapi::MAPIInitialize(nullptr), S_OK);
  mapi::BindMapiLibrary();

  EXPECT_EQ(registry_.reads, reads_after_first_call);
}

TEST_F(RegistryBindingTest, DllPathExIsCutAtItsFirstZeroByte) {
  fake_mapi::Log& log = FreshLogOf(kFullLibrary);
  InstallLibrary(kFullLibrary + std::string("\0/ignored", 9));

  EXPECT_EQ(mapi::MAPIInitialize(nullptr), S_OK);
  EXPECT_EQ(mapi::MapiLibraryPath(), kFullLibrary);
  EXPECT_EQ(log.calls[fake_mapi::kInitialize], 1);
}

// An empty name must not reach the loader, which would answer with the program itself.
TEST_F(RegistryBindingTest, EmptyDllPathExLoadsNothing) {
  InstallLibrary("");

  ExpectEveryWrapperFails();
  EXPECT_EQ(mapi::MapiLibraryPath(), "");
  EXPECT_FALSE(mapi::MapiLibraryLoadError().empty());
}

}  // namespace
}  // namespace mapi_test
