// The import session: one call exports one personal-folders file. It initialises the mail library,
// creates the temporary profile, logs on, deletes the profile again while the session stays open,
// opens the default store and walks its folders. ImportPst (import_pst.h) is this session with the
// program's message composer.
#pragma once

#include <cstdint>
#include <string>

#include "libs/import_session/import_pst.h"
#include "libs/import_session/session_state.h"

namespace import_session {

// The personal-folders file's encryption value handed to HrCreatePersonalStore.
inline constexpr ULONG kSessionEncryption = 0x80000000;
// Logon flags with a file (MAPI_NEW_SESSION, MAPI_EXPLICIT_PROFILE, MAPI_EXTENDED, MAPI_NO_MAIL)
// and without one (MAPI_LOGON_UI instead of MAPI_EXPLICIT_PROFILE).
inline constexpr ULONG kFileLogonFlags = 0x00008032;
inline constexpr ULONG kInteractiveLogonFlags = 0x00008023;

// ImportPst with the composer that turns each message into text. statistics may be null.
// message_workers: the threads that compose messages; 0 takes MessageWorkerCount().
ImportResult RunImportSession(const std::string& pst_path, const FolderCallback& on_folder,
                              const MessageCallback& on_message, std::int32_t user_data,
                              std::string& error_text, ImportStatistics* statistics,
                              const MessageComposer& compose, unsigned message_workers = 0);

// Finds the default store, opens it and learns its special folders. On failure the store is
// logged off and released again.
HRESULT OpenPST(SessionState& state);

// The error text of a failed logon.
const char* LogonErrorText(HRESULT logon_result);

}  // namespace import_session
