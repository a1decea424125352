// The session's steps: initialise, temporary profile, logon, store, walk, and the final status.
#include "libs/import_session/import_session.h"

#include "libs/import_session/folder_walk.h"
#include "libs/import_session/parallel_messages.h"
#include "libs/import_session/temp_profile.h"
#include "libs/mapi/mapi_binding.h"
#include "support/diag/debug_trace.h"

namespace import_session {
namespace {

// Deletes the temporary profile on every path, also when an error passes through the call.
class TemporaryProfile {
 public:
  explicit TemporaryProfile(SessionState& state) : state_(state) {}
  ~TemporaryProfile() { Remove(); }
  TemporaryProfile(const TemporaryProfile&) = delete;
  TemporaryProfile& operator=(const TemporaryProfile&) = delete;

  void Remove() {
    if (!state_.key_profile_name) return;
    diag::DebugTrace("HrCleanupPSTGlobals(KeyProfileName)");
    HrCleanupPSTGlobals(state_.key_profile_name.get());
    diag::DebugTrace("MapiFreeBuffer(KeyProfileName)");
    state_.key_profile_name.reset();
  }

 private:
  SessionState& state_;
};

void CreateProfile(SessionState& state) {
  diag::DebugTrace("HrCreatePersonalStore(" + state.pst_path + ")");
  LPSTR name = nullptr;
  LPSTR password = nullptr;
  std::string reason;
  state.status = HrCreatePersonalStore(state.pst_path.c_str(), kSessionEncryption, nullptr, nullptr,
                                       false, &name, &password, &reason);
  state.key_profile_name.reset(name);
  state.profile_password.reset(password);
  if (FAILED(state.status)) state.error_text = reason;
  state.logon_flags = kFileLogonFlags;
}

// Opens the store and walks it; a walk that cannot start makes the session fail.
void ExportStore(SessionState& state) {
  diag::DebugTrace("OpenPST");
  state.status = OpenPST(state);
  if (SUCCEEDED(state.status)) {
    // Damage met opening the file and the store is the file's, not the first folder's.
    CountStoreFindings(state, "");
    const HRESULT walked = ProcessFolders(state);
    if (FAILED(walked)) state.status = walked;
    CountStoreFindings(state, "");
    const auto& damage = state.statistics.damaged_structures;
    if (FAILED(state.status) && state.error_text.empty() && !damage.empty()) {
      state.error_text = "the file is damaged: " + damage.back().problems;
    }
  }
  diag::DebugTrace("Completed");
}

}  // namespace

const char* LogonErrorText(HRESULT logon_result) {
  switch (logon_result) {
    case MAPI_E_LOGON_FAILED:
      return "The logon did not succeed, either because one or more of the parameters to Profile "
             "were invalid or because there were too many sessions open already.";
    case MAPI_E_USER_CANCEL:
      return "The user canceled the operation, typically by choosing the Cancel button in a "
             "dialog box.";
    case MAPI_E_UNCONFIGURED:
      return "A service provider has not been configured, and therefore the operation did not "
             "complete.";
    case MAPI_E_TIMEOUT:
      return "MAPI serializes all logons through a mutex. This is returned if the another thread "
             "held the mutex.";
    default:
      return "The logon did not succeed";
  }
}

HRESULT OpenPST(SessionState& state) {
  diag::DebugTrace("OpenPST() starting");
  ULONG store_eid_size = 0;
  LPBYTE store_eid_bytes = nullptr;
  HRESULT hr = FindDefaultStore(*state.session, &store_eid_size, &store_eid_bytes);
  mapi::MapiBufferPtr<BYTE> store_eid(store_eid_bytes);
  if (SUCCEEDED(hr)) {
    diag::DebugTrace("Session.OpenMsgStore");
    hr = state.session->OpenMsgStore(0, store_eid_size, store_eid.get(), nullptr,
                                     MDB_WRITE | MAPI_BEST_ACCESS, state.mdb.Out());
    if (SUCCEEDED(hr) && !state.mdb) hr = MAPI_E_CALL_FAILED;
  }
  if (SUCCEEDED(hr)) {
    diag::DebugTrace("GetSystemMAPIFolders");
    hr = GetSystemMAPIFolders(*state.mdb, false, state.folders);
  }
  diag::DebugTrace("MapiFreeBuffer(StoreEID.lpb)");
  store_eid.reset();
  if (FAILED(hr) && state.mdb) {
    // The damage that stopped the store from opening is the reason to give.
    const std::string findings = TakeIntegrityFindings(*state.mdb);
    if (state.error_text.empty() && !findings.empty()) {
      state.error_text = "the file is damaged: " + findings;
    }
    diag::DebugTrace("StoreLogoff(FLAGS)");
    ULONG flags = LOGOFF_ABORT;
    state.mdb->StoreLogoff(&flags);
    state.mdb.Reset();
  }
  if (SUCCEEDED(hr)) diag::DebugTrace("OpenPST() finished");
  return hr;
}

ImportResult RunImportSession(const std::string& pst_path, const FolderCallback& on_folder,
                              const MessageCallback& on_message, std::int32_t user_data,
                              std::string& error_text, ImportStatistics* statistics,
                              const MessageComposer& compose, unsigned message_workers) {
  error_text.clear();
  ImportStatistics unused_statistics;
  ImportStatistics& counted = statistics ? *statistics : unused_statistics;
  counted = ImportStatistics{};
  SessionState state(pst_path, on_folder, on_message, user_data, error_text, counted, compose);
  state.message_workers = message_workers > 0 ? message_workers : MessageWorkerCount();
  TemporaryProfile profile(state);

  diag::DebugTrace("MAPIInitialize");
  mapi::MAPIInitialize(nullptr);
  state.status = S_OK;
  if (!pst_path.empty()) {
    CreateProfile(state);
  } else {
    state.logon_flags = kInteractiveLogonFlags;
  }
  if (SUCCEEDED(state.status)) {
    diag::DebugTrace("MAPILogonEx()");
    state.status = mapi::MAPILogonEx(0, state.key_profile_name.get(), state.profile_password.get(),
                                     state.logon_flags, state.session.Out());
    if (SUCCEEDED(state.status) && !state.session) state.status = MAPI_E_LOGON_FAILED;
    if (FAILED(state.status)) error_text = LogonErrorText(state.status);
    // The session stays open without its profile; a failed logon leaves none behind either.
    profile.Remove();
    if (SUCCEEDED(state.status)) ExportStore(state);
  }
  // A library that could not be bound fails every call with a bare E_FAIL; its reason is the one
  // to give.
  if (FAILED(state.status) && error_text.empty()) error_text = mapi::MapiLibraryFailure();
  diag::DebugTrace("Finished HR= " + HexCode(state.status));
  return state.status;
}

}  // namespace import_session
