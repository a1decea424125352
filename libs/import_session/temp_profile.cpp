// Creating, configuring and deleting the temporary profile; the default-store look-up; event-log
// reports of failure codes.
#include "libs/import_session/temp_profile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "libs/import_session/session_state.h"
#include "libs/mapi/interface_ptr.h"
#include "libs/mapi/mapi_binding.h"
#include "libs/mapi/mapi_memory.h"
#include "support/diag/event_logger.h"

namespace import_session {
namespace {

// Process-wide: held from HrCreatePersonalStore until HrCleanupPSTGlobals.
struct ProfileAdministration {
  IProfAdmin* prof_admin = nullptr;
  bool profile_created = false;
};

ProfileAdministration& Administration() {
  static ProfileAdministration administration;
  return administration;
}

// A zero-terminated copy of text in MAPI memory, or null when the allocation fails.
LPSTR MapiString(const char* text, ULONG size) {
  void* buffer = nullptr;
  if (FAILED(mapi::MAPIAllocateBuffer(size, &buffer)) || !buffer) return nullptr;
  std::memset(buffer, 0, size);
  std::snprintf(static_cast<char*>(buffer), size, "%s", text);
  return static_cast<LPSTR>(buffer);
}

// The password the file is opened with: the profile's, else the one the environment gives.
const char* FilePassword(const char* profile_password) {
  if (profile_password && *profile_password) return profile_password;
  const char* from_environment = std::getenv(kPstPasswordVariable);
  return from_environment ? from_environment : "";
}

SPropValue StringValue(ULONG tag, const char* text) {
  SPropValue value{};
  value.ulPropTag = tag;
  value.Value.lpszA = const_cast<LPSTR>(text ? text : "");
  return value;
}

// The mail library's readable reason for the service admin's last failure, or empty.
std::string LastErrorText(IMsgServiceAdmin& service_admin, HRESULT code) {
  LPMAPIERROR error = nullptr;
  if (FAILED(service_admin.GetLastError(code, 0, &error)) || !error) return {};
  std::string text = error->lpszError ? error->lpszError : "";
  mapi::MapiFreeBuffer(error);
  return text;
}

// What one attempt to set up the profile holds; released whatever the outcome.
struct ProfileSetup {
  const char* pst_path;
  ULONG encryption;
  const char* display_name;
  const char* new_password;
  bool create_new;
  LPSTR name = nullptr;
  LPSTR password = nullptr;
  std::string* failure_reason;
  mapi::InterfacePtr<IMsgServiceAdmin> service_admin;
  MAPIUID service_uid{};
};

HRESULT AddPersonalFoldersService(IMsgServiceAdmin& service_admin) {
  char service[] = "MSPST MS";
  char unicode_service[] = "MSUPST MS";
  char display_name[] = "";
  if (SUCCEEDED(service_admin.CreateMsgService(service, display_name, 0, 0))) return S_OK;
  if (SUCCEEDED(service_admin.CreateMsgService(unicode_service, display_name, 0, 0))) return S_OK;
  return ReportHResult(E_FAIL);
}

// The identity of the profile's first service.
HRESULT ReadServiceUid(IMsgServiceAdmin& service_admin, MAPIUID& uid) {
  mapi::InterfacePtr<IMAPITable> table;
  if (FAILED(service_admin.GetMsgServiceTable(0, table.Out()))) return ReportHResult(E_FAIL);
  LPSRowSet raw_rows = nullptr;
  const HRESULT hr = table->QueryRows(1, 0, &raw_rows);
  mapi::RowSetPtr rows(raw_rows);
  if (FAILED(hr) || !rows || rows->cRows == 0) return ReportHResult(E_FAIL);
  const SRow& row = rows->aRow[0];
  for (ULONG i = 0; row.lpProps && i < row.cValues; ++i) {
    const SPropValue& value = row.lpProps[i];
    if (value.ulPropTag == PR_SERVICE_UID && value.Value.bin.cb == sizeof uid.ab &&
        value.Value.bin.lpb) {
      std::memcpy(uid.ab, value.Value.bin.lpb, sizeof uid.ab);
      return S_OK;
    }
  }
  return ReportHResult(E_FAIL);
}

HRESULT ConfigureService(ProfileSetup& setup) {
  const char* file_password = FilePassword(setup.password);
  SPropValue values[6];
  ULONG count = 0;
  if (setup.create_new) {
    values[count++] = StringValue(PR_DISPLAY_NAME, setup.display_name);
    values[count++] = StringValue(PR_PST_PATH, setup.pst_path);
    values[count].ulPropTag = PR_PST_REMEMBER_PW;
    values[count++].Value.b = 0xFFFF;
    values[count].ulPropTag = PR_PST_ENCRYPTION;
    values[count++].Value.ul = setup.encryption;
    values[count++] = StringValue(PR_PST_PW_SZ_NEW, setup.new_password);
    values[count++] = StringValue(PR_PST_PW_SZ_OLD, file_password);
  } else {
    values[count++] = StringValue(PR_PST_PATH, setup.pst_path);
    values[count++] = StringValue(PR_PST_PW_SZ_OLD, file_password);
  }
  void* buffer = nullptr;
  if (FAILED(mapi::MAPIAllocateBuffer(static_cast<ULONG>(count * sizeof(SPropValue)), &buffer)) ||
      !buffer) {
    return ReportHResult(E_OUTOFMEMORY);
  }
  mapi::MapiBufferPtr<SPropValue> configuration(static_cast<LPSPropValue>(buffer));
  std::memcpy(configuration.get(), values, count * sizeof(SPropValue));
  const ULONG flags = setup.create_new ? 0 : SERVICE_UI_ALLOWED;
  const HRESULT hr = setup.service_admin->ConfigureMsgService(&setup.service_uid, 0, flags, count,
                                                              configuration.get());
  if (FAILED(hr) && setup.failure_reason) {
    *setup.failure_reason = LastErrorText(*setup.service_admin, hr);
  }
  return FAILED(hr) ? ReportHResult(hr) : hr;
}

// Steps 2 to 9: everything up to the configured service.
HRESULT SetUpProfile(ProfileSetup& setup) {
  ProfileAdministration& administration = Administration();
  if (FAILED(mapi::MAPIAdminProfiles(0, &administration.prof_admin)) ||
      !administration.prof_admin) {
    administration.prof_admin = nullptr;
    return ReportHResult(E_FAIL);
  }
  setup.password = MapiString("", 1);
  setup.name = setup.password ? MapiString(kTempProfileName, kTempProfileNameSize) : nullptr;
  if (!setup.name) return ReportHResult(E_OUTOFMEMORY);

  IProfAdmin& prof_admin = *administration.prof_admin;
  const HRESULT created = prof_admin.CreateProfile(setup.name, setup.password, 0, 0);
  if (SUCCEEDED(created)) {
    administration.profile_created = true;
  } else if (created == E_ACCESSDENIED) {
    ReportHResult(created);  // the profile exists already: go on with it
  } else {
    return ReportHResult(E_FAIL);
  }
  if (FAILED(
          prof_admin.AdminServices(setup.name, setup.password, 0, 0, setup.service_admin.Out()))) {
    return ReportHResult(E_FAIL);
  }
  HRESULT hr = AddPersonalFoldersService(*setup.service_admin);
  if (SUCCEEDED(hr)) hr = ReadServiceUid(*setup.service_admin, setup.service_uid);
  if (SUCCEEDED(hr)) hr = ConfigureService(setup);
  return hr;
}

}  // namespace

HRESULT ReportHResult(HRESULT code) {
  if (code == 0) return code;
  diag::TIMIEventLogger::Instance().Report(
      "Error/Warning/Information. Returned CODE is: " + HexCode(code),
      static_cast<std::uint32_t>(code));
  return code;
}

HRESULT HrCreatePersonalStore(const char* pst_path, ULONG encryption, const char* display_name,
                              const char* new_password, bool create_new, LPSTR* profile_name,
                              LPSTR* password, std::string* failure_reason) {
  *profile_name = nullptr;
  *password = nullptr;
  if (Administration().prof_admin) return ReportHResult(E_FAIL);

  ProfileSetup setup{pst_path, encryption, display_name,   new_password, create_new,
                     nullptr,  nullptr,    failure_reason, {},           {}};
  const HRESULT hr = SetUpProfile(setup);
  setup.service_admin.Reset();
  if (FAILED(hr)) {
    // Also releases the profile administration when the name was never made.
    HrCleanupPSTGlobals(setup.name);
    mapi::MapiFreeBuffer(setup.name);
    mapi::MapiFreeBuffer(setup.password);
    return hr;
  }
  *profile_name = setup.name;
  *password = setup.password;
  return hr;
}

HRESULT HrCleanupPSTGlobals(const char* profile_name) {
  ProfileAdministration& administration = Administration();
  HRESULT hr = S_OK;
  if (administration.profile_created && administration.prof_admin && profile_name) {
    hr = administration.prof_admin->DeleteProfile(const_cast<LPSTR>(profile_name), 0);
  }
  if (administration.prof_admin) administration.prof_admin->Release();
  administration = ProfileAdministration{};
  return hr;
}

HRESULT FindDefaultStore(IMAPISession& session, ULONG* size, LPBYTE* entry_id) {
  *size = 0;
  *entry_id = nullptr;
  mapi::InterfacePtr<IMAPITable> table;
  ULONG row_count = 0;
  LPSPropTagArray raw_columns = nullptr;
  if (FAILED(session.GetMsgStoresTable(0, table.Out())) ||
      FAILED(table->GetRowCount(0, &row_count)) ||
      FAILED(mapi::MakePropTagArray({PR_DEFAULT_STORE, PR_ENTRYID}, &raw_columns))) {
    return ReportHResult(E_FAIL);
  }
  mapi::MapiBufferPtr<SPropTagArray> columns(raw_columns);
  LPSRowSet raw_rows = nullptr;
  const LONG wanted = static_cast<LONG>(
      std::min<ULONG>(row_count, static_cast<ULONG>(std::numeric_limits<LONG>::max())));
  if (FAILED(table->SetColumns(columns.get(), 0)) ||
      FAILED(table->SeekRow(BOOKMARK_BEGINNING, 0, nullptr)) ||
      FAILED(table->QueryRows(wanted, 0, &raw_rows))) {
    mapi::FreeRows(raw_rows);
    return ReportHResult(E_FAIL);
  }
  mapi::RowSetPtr rows(raw_rows);
  if (!rows) return ReportHResult(E_FAIL);
  if (rows->cRows == 0) return ReportHResult(kNoDefaultStore);
  for (ULONG i = 0; i < rows->cRows; ++i) {
    const SRow& row = rows->aRow[i];
    if (!row.lpProps || row.cValues < 2) continue;
    const SPropValue& flag = row.lpProps[0];
    const SPropValue& id = row.lpProps[1];
    if (flag.ulPropTag != PR_DEFAULT_STORE || flag.Value.b == 0) continue;
    if (id.ulPropTag != PR_ENTRYID || id.Value.bin.cb == 0 || !id.Value.bin.lpb) continue;
    void* bytes = nullptr;
    if (FAILED(mapi::MAPIAllocateBuffer(id.Value.bin.cb, &bytes)) || !bytes) {
      return ReportHResult(E_OUTOFMEMORY);
    }
    std::memcpy(bytes, id.Value.bin.lpb, id.Value.bin.cb);
    *size = id.Value.bin.cb;
    *entry_id = static_cast<LPBYTE>(bytes);
    return S_OK;
  }
  return ReportHResult(E_FAIL);
}

}  // namespace import_session
