// The state one call of ImportPst shares with the routines of the session, the folder walk and
// message enumeration: the call's arguments, the mail-library objects it opened, the store's
// special folders, the shared status, and the record of what could not be exported.
//
// A call passes through these stages in order; a stage whose step fails makes status a failure
// code, and from then on no later step runs (the walk's own failure is the only one set after
// the store is open).
//  - Created: the arguments are bound and stay unchanged for the whole call; statistics are reset
//    and error_text is empty; session, mdb, folders and key_profile_name are empty; status is S_OK
//    and stop_requested false.
//  - Profile (a file path was given): key_profile_name and profile_password hold what
//    HrCreatePersonalStore returned; logon_flags is set for a file or, without a path, for the
//    interactive profile. A failure leaves its reason in error_text.
//  - Logged on: session is set exactly when the logon succeeded. key_profile_name is empty again
//    whatever the logon's outcome: the temporary profile never outlives the logon, and no path out
//    of the call (an exception included) leaves one behind.
//  - Store open: mdb is set exactly when the store opened; folders then hold the special folders
//    the store vouches for (any may be absent; without the root the walk fails). A store that
//    fails after opening is logged off and mdb emptied again, with the damage found while opening
//    it as the reason.
//  - Walking: mdb and session are set and stay so. statistics only grow. stop_requested, once set
//    by the message callback, stays set, and no message or folder is read after it.
//  - Finished: status is the call's result; a failed call without a reason of its own gives the
//    library's binding failure in error_text. The entry ids are released before the store and the
//    store before the session (their order of declaration below).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "libs/import_session/import_pst.h"
#include "libs/mapi/interface_ptr.h"
#include "libs/mapi/mapi.h"
#include "libs/mapi/mapi_memory.h"

namespace import_session {

// Turns one opened message into its complete RFC 822/MIME text, which may go on reading the message
// while it is written. Returns a failure when the message cannot be composed; may throw.
using MessageComposer =
    std::function<HRESULT(IMessage& message, std::unique_ptr<MessageText>& text)>;

// Entry ids of the store's special folders, each in MAPI memory or absent.
struct SpecialFolders {
  mapi::MapiBufferPtr<SBinary> root;  // the IPM subtree, root of the walk
  mapi::MapiBufferPtr<SBinary> inbox;
  mapi::MapiBufferPtr<SBinary> outbox;
  mapi::MapiBufferPtr<SBinary> deleted_items;
  mapi::MapiBufferPtr<SBinary> sent_items;
};

struct SessionState {
  SessionState(std::string path, const FolderCallback& folder_callback,
               const MessageCallback& message_callback, std::int32_t data, std::string& error,
               ImportStatistics& stats, const MessageComposer& composer)
      : pst_path(std::move(path)),
        on_folder(folder_callback),
        on_message(message_callback),
        user_data(data),
        error_text(error),
        statistics(stats),
        compose(composer) {}

  // The call's arguments, held unchanged for the whole call.
  const std::string pst_path;  // empty: log on to whatever profile the logon chooses
  const FolderCallback& on_folder;
  const MessageCallback& on_message;
  const std::int32_t user_data;
  std::string& error_text;
  ImportStatistics& statistics;
  const MessageComposer& compose;

  // Declared before the store and the entry ids so that it is released after them.
  mapi::InterfacePtr<IMAPISession> session;
  mapi::InterfacePtr<IMsgStore> mdb;
  SpecialFolders folders;
  mapi::MapiBufferPtr<char> key_profile_name;  // the temporary profile's name while it exists
  mapi::MapiBufferPtr<char> profile_password;
  ULONG logon_flags = 0;
  // Threads that compose messages; 1: everything on the session's thread.
  unsigned message_workers = 1;
  HRESULT status = S_OK;
  // Set when the message callback asks to stop: no further message or folder is read.
  bool stop_requested = false;
};

// The statistics entries of one folder, merged by reason.
void CountSkippedMessages(ImportStatistics& statistics, std::string_view folder_path,
                          std::int64_t count, std::string reason);
void CountUnopenedFolder(ImportStatistics& statistics, std::string_view folder_path,
                         std::string reason);
void CountDamagedMessage(ImportStatistics& statistics, std::string_view folder_path,
                         std::string subject, std::string problems);

// Takes the mail library's integrity findings of `object` (PR_INTEGRITY_FINDINGS): a message's, or
// for the store those no message took. Empty when there were none.
std::string TakeIntegrityFindings(IMAPIProp& object);
// Has the message keep the findings met so far on this thread for its next TakeIntegrityFindings
// (PR_INTEGRITY_FINDINGS_SET_ASIDE), so that what the thread reads next is not taken with them.
// False when the library cannot.
bool SetIntegrityFindingsAside(IMAPIProp& message);
// Records the store's pending findings as damage met while reading `folder_path` (empty: outside
// any folder).
void CountStoreFindings(SessionState& state, std::string_view folder_path);

// The value with tag in a table row, wherever the table put it; null when the row lacks it.
const SPropValue* FindRowValue(const SRow& row, ULONG tag);

// A readable reason naming the code: "<what> (0x8004011B)".
std::string ReasonWithCode(std::string_view what, HRESULT code);

// The code as eight upper-case hexadecimal digits.
std::string HexCode(HRESULT code);

}  // namespace import_session
