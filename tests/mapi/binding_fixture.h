// Shared set-up of the binding tests: a fresh binding and a test registry for each test, access to
// the stand-in libraries' call logs, and a check that every wrapper fails cleanly.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "libs/mapi/mapi_binding.h"
#include "libs/mapi/mapi_binding_for_tests.h"
#include "tests/mapi/fake_mapi_log.h"
#include "tests/mapi/fake_registry.h"

namespace mapi_test {

// The stand-in libraries built beside the tests (paths from CMake).
inline const std::string kFullLibrary = FAKE_MAPI_FULL_LIBRARY;
inline const std::string kLibraryWithoutGetOneProp = FAKE_MAPI_WITHOUT_GETONEPROP_LIBRARY;
inline const std::string kLibraryWithFlakyGetOneProp = FAKE_MAPI_FLAKY_GETONEPROP_LIBRARY;
// Holds a stand-in named "MAPI32.DLL"; the test executable's library search path includes it.
inline const std::string kDefaultNameDirectory = FAKE_MAPI_DEFAULT_NAME_DIRECTORY;

// The call log of the stand-in library at path, cleared. Loading it here shares the handle (and so
// the log) with the binding's own load of the same file.
fake_mapi::Log& FreshLogOf(const std::string& path);

// Every wrapper returns E_FAIL and clears its out arguments; FreeProws does nothing.
void ExpectEveryWrapperFails();

class BindingTest : public ::testing::Test {
 protected:
  BindingTest() { mapi::ResetMapiBindingForTests(); }
  ~BindingTest() override { mapi::ResetMapiBindingForTests(); }

  // MAPIX "1" and DLLPathEx naming path.
  void InstallLibrary(const std::string& path) {
    registry_.mapix = "1";
    registry_.dll_path = path;
  }

  FakeRegistry registry_;
  os::ScopedRegistry scoped_registry_{registry_};
};

}  // namespace mapi_test
