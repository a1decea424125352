// The temporary profile through which the mail library opens a personal-folders file: created with
// one personal-folders service configured for the file before the logon, deleted again right after
// it. Also the look-up of a session's default store and the event-log report of failure codes.
//
// The profile administration object and whether this process created the profile are process-wide:
// a second HrCreatePersonalStore before HrCleanupPSTGlobals fails with E_FAIL.
#pragma once

#include <string>

#include "libs/mapi/mapi.h"

namespace import_session {

// The profile's name: the pattern "PstLoadTmp%03.3u" filled with the number 0, held in 14 bytes.
inline constexpr const char* kTempProfileName = "PstLoadTmp000";
inline constexpr ULONG kTempProfileNameSize = 14;
// The services tried in order for the file.
inline constexpr const char* kPersonalFoldersService = "MSPST MS";
inline constexpr const char* kUnicodePersonalFoldersService = "MSUPST MS";
// FindDefaultStore's result when the session has no store at all.
inline constexpr HRESULT kNoDefaultStore = static_cast<HRESULT>(0x800B0001);
// Where the file's password comes from when the profile password is empty.
inline constexpr const char* kPstPasswordVariable = "PST2XMZ_PST_PASSWORD";

// Creates the temporary profile with a personal-folders service for pst_path and configures it.
// With create_new false (the import session's case) the service is configured with the path and
// the password only. On success *profile_name and *password hold MAPI allocations that the caller
// releases; on failure both are null, the profile is deleted again when this call created it, and
// failure_reason (when given) receives the mail library's readable reason when it gave one.
HRESULT HrCreatePersonalStore(const char* pst_path, ULONG encryption, const char* display_name,
                              const char* new_password, bool create_new, LPSTR* profile_name,
                              LPSTR* password, std::string* failure_reason = nullptr);

// Deletes the temporary profile when this process created it and releases the profile
// administration object. Returns DeleteProfile's result, or 0 when nothing was deleted.
HRESULT HrCleanupPSTGlobals(const char* profile_name);

// The entry id of the session's default store: the first row of its store table flagged
// PR_DEFAULT_STORE. *entry_id is a MAPI allocation (null and *size 0 when nothing was found).
HRESULT FindDefaultStore(IMAPISession& session, ULONG* size, LPBYTE* entry_id);

// Records a non-zero code in the event log ("Error/Warning/Information. Returned CODE is: " and
// eight upper-case hexadecimal digits) and returns it unchanged.
HRESULT ReportHResult(HRESULT code);

}  // namespace import_session
