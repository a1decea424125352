// The folder walk: the store's special folders, and the depth-first, pre-order walk of the folder
// tree below the IPM subtree that hands every mail folder to the folder callback and to message
// enumeration. A folder that cannot be opened is skipped and counted; the walk goes on with its
// siblings.
#pragma once

#include "libs/import_session/session_state.h"

namespace import_session {

// Folders nested deeper than this below the IPM subtree are counted as not opened.
inline constexpr int kMaxFolderDepth = 100;

// Fills folders from HrValidateIPMSubtree: the IPM subtree, inbox, outbox, deleted-items and
// sent-items entry ids whose bit of PR_VALID_FOLDER_MASK is set (all absent without a mask).
// Always S_OK.
HRESULT GetSystemMAPIFolders(IMsgStore& store, bool force_create, SpecialFolders& folders);

// True when both ids are present and the store says they name the same object.
bool SameEntry(IMsgStore& store, const SBinary* a, const SBinary* b);

// Walks the tree below the IPM subtree. Returns a failure only when the walk could not start: the
// IPM subtree is unknown (MAPI_E_NOT_FOUND), cannot be opened, or its subfolders cannot be listed.
// Counts the messages lying in the IPM subtree's own folder.
HRESULT ProcessFolders(SessionState& state);

}  // namespace import_session
