// Helpers of the binding tests.
#include "tests/mapi/binding_fixture.h"

#include "platform/os/dynamic_library.h"

namespace mapi_test {

fake_mapi::Log& FreshLogOf(const std::string& path) {
  auto library = os::DynamicLibrary::Load(path);
  if (!library) throw std::runtime_error("cannot load the stand-in library " + path);
  library->Pin();
  auto* log_function =
      reinterpret_cast<fake_mapi::FakeMapiLogFunction*>(library->Find("FakeMapiLog"));
  if (!log_function) throw std::runtime_error("no FakeMapiLog in " + path);
  fake_mapi::Log& log = *log_function();
  log = fake_mapi::Log{};
  return log;
}

void ExpectEveryWrapperFails() {
  // Out arguments start as garbage; a wrapper must clear each one.
  auto* garbage = reinterpret_cast<void*>(static_cast<std::uintptr_t>(0x10));

  EXPECT_EQ(mapi::MAPIInitialize(nullptr), E_FAIL);

  auto* session = static_cast<LPMAPISESSION>(garbage);
  EXPECT_EQ(mapi::MAPILogonEx(0, nullptr, nullptr, 0, &session), E_FAIL);
  EXPECT_EQ(session, nullptr);

  void* buffer = garbage;
  EXPECT_EQ(mapi::MAPIAllocateBuffer(16, &buffer), E_FAIL);
  EXPECT_EQ(buffer, nullptr);
  buffer = garbage;
  EXPECT_EQ(mapi::MAPIAllocateMore(16, garbage, &buffer), E_FAIL);
  EXPECT_EQ(buffer, nullptr);
  EXPECT_EQ(mapi::MAPIFreeBuffer(garbage), E_FAIL);

  auto* admin = static_cast<LPPROFADMIN>(garbage);
  EXPECT_EQ(mapi::MAPIAdminProfiles(0, &admin), E_FAIL);
  EXPECT_EQ(admin, nullptr);

  auto* rows = static_cast<LPSRowSet>(garbage);
  EXPECT_EQ(mapi::HrQueryAllRows(nullptr, nullptr, nullptr, nullptr, 0, &rows), E_FAIL);
  EXPECT_EQ(rows, nullptr);

  // A row set whose values point nowhere: releasing it for real would crash.
  SRowSet row_set{1, {{0, 1, static_cast<LPSPropValue>(garbage)}}};
  mapi::FreeProws(&row_set);

  auto* uncompressed = static_cast<LPSTREAM>(garbage);
  EXPECT_EQ(mapi::WrapCompressedRTFStream(nullptr, 0, &uncompressed), E_FAIL);
  EXPECT_EQ(uncompressed, nullptr);

  auto* value = static_cast<LPSPropValue>(garbage);
  EXPECT_EQ(mapi::HrGetOneProp(nullptr, PR_SUBJECT, &value), E_FAIL);
  EXPECT_EQ(value, nullptr);

  ULONG count = 7;
  auto* values = static_cast<LPSPropValue>(garbage);
  auto* error = static_cast<LPMAPIERROR>(garbage);
  EXPECT_EQ(mapi::HrValidateIPMSubtree(nullptr, MAPI_FULL_IPM_TREE, &count, &values, &error),
            E_FAIL);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(values, nullptr);
  EXPECT_EQ(error, nullptr);
}

}  // namespace mapi_test
