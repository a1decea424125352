// Test helpers over the built mail library.
#include "tests/platform_mapilib/library_fixture.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "tests/support/mail_library_registry.h"
#include "tests/support/temp_dir.h"

namespace platform_mapilib_test {

void UseBuiltLibrary() {
  static bool initialized = false;
  if (initialized) return;
  // The binding reads the registry once, at the first call.
  test_support::MailLibraryRegistry registry(PST2XMZ_BUILT_MAIL_LIBRARY);
  const os::ScopedRegistry scoped_registry(registry);
  ASSERT_EQ(mapi::MAPIInitialize(nullptr), S_OK) << mapi::MapiLibraryLoadError();
  initialized = true;
}

namespace {

int profile_counter = 0;

// A profile with one configured service; the name stays usable for the logon.
ConfigureResult Configure(const std::string& profile, const std::string& path,
                          const std::string& password) {
  UseBuiltLibrary();
  ConfigureResult result;
  mapi::InterfacePtr<IProfAdmin> admin;
  EXPECT_EQ(mapi::MAPIAdminProfiles(0, admin.Out()), S_OK);
  if (!admin) return {E_FAIL, "no profile administration"};
  std::string name = profile;
  char empty[] = "";
  EXPECT_EQ(admin->CreateProfile(name.data(), empty, 0, 0), S_OK);
  mapi::InterfacePtr<IMsgServiceAdmin> services;
  EXPECT_EQ(admin->AdminServices(name.data(), empty, 0, 0, services.Out()), S_OK);
  char service[] = "MSUPST MS";
  EXPECT_EQ(services->CreateMsgService(service, empty, 0, 0), S_OK);
  mapi::InterfacePtr<IMAPITable> table;
  EXPECT_EQ(services->GetMsgServiceTable(0, table.Out()), S_OK);
  mapi::RowSetPtr rows = AllRows(*table, {PR_SERVICE_UID});
  EXPECT_EQ(rows->cRows, 1u);
  MAPIUID uid{};
  std::memcpy(uid.ab, rows->aRow[0].lpProps[0].Value.bin.lpb, 16);
  SPropValue values[2]{};
  values[0].ulPropTag = PR_PST_PATH;
  values[0].Value.lpszA = const_cast<char*>(path.c_str());
  values[1].ulPropTag = PR_PST_PW_SZ_OLD;
  values[1].Value.lpszA = const_cast<char*>(password.c_str());
  result.code = services->ConfigureMsgService(&uid, 0, SERVICE_UI_ALLOWED, 2, values);
  if (FAILED(result.code)) {
    LPMAPIERROR error = nullptr;
    EXPECT_EQ(services->GetLastError(result.code, 0, &error), S_OK);
    if (error && error->lpszError) result.reason = error->lpszError;
    mapi::MapiFreeBuffer(error);
  }
  return result;
}

std::string NewProfileName() { return "TestProfile" + std::to_string(++profile_counter); }

}  // namespace

ConfigureResult ConfigureFile(const std::string& path, const std::string& password) {
  return Configure(NewProfileName(), path, password);
}

OpenedStore OpenStore(const std::string& path, const std::string& password) {
  OpenedStore opened;
  std::string profile = NewProfileName();
  const ConfigureResult configured = Configure(profile, path, password);
  EXPECT_EQ(configured.code, S_OK) << configured.reason;
  if (FAILED(configured.code)) return opened;
  char empty[] = "";
  EXPECT_EQ(
      mapi::MAPILogonEx(0, profile.data(), empty,
                        MAPI_EXTENDED | MAPI_NEW_SESSION | MAPI_EXPLICIT_PROFILE | MAPI_NO_MAIL,
                        opened.session.Out()),
      S_OK);
  if (!opened.session) return opened;
  mapi::InterfacePtr<IMAPITable> stores;
  EXPECT_EQ(opened.session->GetMsgStoresTable(0, stores.Out()), S_OK);
  mapi::RowSetPtr rows = AllRows(*stores, {PR_DEFAULT_STORE, PR_ENTRYID});
  EXPECT_EQ(rows->cRows, 1u);
  const SBinary& id = rows->aRow[0].lpProps[1].Value.bin;
  EXPECT_EQ(opened.session->OpenMsgStore(0, id.cb, id.lpb, nullptr, MDB_WRITE | MAPI_BEST_ACCESS,
                                         opened.store.Out()),
            S_OK);
  return opened;
}

OneValue GetOne(IMAPIProp& object, ULONG tag) {
  OneValue one;
  LPSPropTagArray tags = nullptr;
  EXPECT_EQ(mapi::MakePropTagArray({tag}, &tags), S_OK);
  mapi::MapiBufferPtr<SPropTagArray> owned_tags(tags);
  ULONG count = 0;
  LPSPropValue values = nullptr;
  const HRESULT hr = object.GetProps(tags, 0, &count, &values);
  mapi::MapiBufferPtr<SPropValue> owned(values);
  EXPECT_TRUE(hr == S_OK || hr == MAPI_W_ERRORS_RETURNED);
  EXPECT_EQ(count, 1u);
  if (!values) return one;
  one.tag = values[0].ulPropTag;
  switch (PROP_TYPE(one.tag)) {
    case PT_STRING8:
      one.text = values[0].Value.lpszA;
      break;
    case PT_BINARY: {
      const auto* b = reinterpret_cast<const std::byte*>(values[0].Value.bin.lpb);
      one.bytes.assign(b, b + values[0].Value.bin.cb);
      break;
    }
    case PT_BOOLEAN:
      one.number = values[0].Value.b;
      break;
    default:
      one.number = values[0].Value.ul;
      break;
  }
  return one;
}

mapi::RowSetPtr AllRows(IMAPITable& table, std::initializer_list<ULONG> columns) {
  LPSPropTagArray tags = nullptr;
  EXPECT_EQ(mapi::MakePropTagArray(columns, &tags), S_OK);
  mapi::MapiBufferPtr<SPropTagArray> owned(tags);
  LPSRowSet rows = nullptr;
  EXPECT_EQ(mapi::HrQueryAllRows(&table, tags, nullptr, nullptr, 0, &rows), S_OK);
  return mapi::RowSetPtr(rows);
}

mapi::InterfacePtr<IMAPIFolder> OpenInboxFolder(IMsgStore& store) {
  ULONG size = 0;
  LPENTRYID id = nullptr;
  char ipm[] = "IPM";
  EXPECT_EQ(store.GetReceiveFolder(ipm, 0, &size, &id, nullptr), S_OK);
  if (!id) return {};
  const auto* b = reinterpret_cast<const std::byte*>(id);
  auto inbox = OpenEntry<IMAPIFolder>(store, {b, b + size}, &IID_IMAPIFolder);
  mapi::MapiFreeBuffer(id);
  EXPECT_TRUE(inbox);
  return inbox;
}

std::vector<std::byte> InboxEntryId(IMsgStore& store, ULONG row) {
  auto inbox = OpenInboxFolder(store);
  mapi::InterfacePtr<IMAPITable> contents;
  if (!inbox || inbox->GetContentsTable(0, contents.Out()) != S_OK) return {};
  mapi::RowSetPtr rows = AllRows(*contents, {PR_ENTRYID});
  EXPECT_LT(row, rows->cRows);
  if (row >= rows->cRows) return {};
  const SBinary& id = rows->aRow[row].lpProps[0].Value.bin;
  const auto* b = reinterpret_cast<const std::byte*>(id.lpb);
  return {b, b + id.cb};
}

mapi::InterfacePtr<IMAPIFolder> Subfolder(IMsgStore& store, IMAPIFolder& folder,
                                          const std::string& name) {
  mapi::InterfacePtr<IMAPITable> table;
  EXPECT_EQ(folder.GetHierarchyTable(0, table.Out()), S_OK);
  mapi::RowSetPtr rows = AllRows(*table, {PR_DISPLAY_NAME, PR_ENTRYID});
  for (ULONG i = 0; rows && i < rows->cRows; ++i) {
    const SPropValue* v = rows->aRow[i].lpProps;
    if (v[0].ulPropTag == PR_DISPLAY_NAME && name == v[0].Value.lpszA) {
      const auto* b = reinterpret_cast<const std::byte*>(v[1].Value.bin.lpb);
      return OpenEntry<IMAPIFolder>(store, {b, b + v[1].Value.bin.cb}, &IID_IMAPIFolder);
    }
  }
  return {};
}

std::optional<std::string> ReadAll(IStream& stream) {
  std::string text;
  char block[1000];
  for (;;) {
    ULONG got = 0;
    if (FAILED(stream.Read(block, sizeof block, &got))) return std::nullopt;
    if (got == 0) return text;
    text.append(block, got);
  }
}

std::string TempPath(const std::string& name) {
  // One folder for the whole test process, removed when the process ends.
  static const test_support::TempDir dir;
  return dir / name;
}

std::string SamplesDir() {
  std::error_code error;
  return std::filesystem::is_directory(PST2XMZ_SAMPLES_DIR, error) ? PST2XMZ_SAMPLES_DIR : "";
}

}  // namespace platform_mapilib_test
