// Message enumeration: the contents table of one folder read in batches of 25 rows; each message
// opened, composed and handed to the message callback in row order, on the session's thread or,
// with several message workers, composed on those (parallel_messages.h). A message that cannot be
// opened, read or composed is skipped and counted in the statistics, and enumeration goes on.
#pragma once

#include <cstdint>
#include <string_view>

#include "libs/import_session/session_state.h"

namespace import_session {

// The folder whose messages are read.
struct FolderContext {
  std::string_view name;  // display name, for the traces
  std::string_view path;  // names joined by "/", for the statistics
  std::int32_t folder_id;
  ULONG message_count;  // the contents table's row count
};

inline constexpr LONG kMessageBatchSize = 25;

// Reads every message of the table. Returns S_OK at the end of the table, E_FAIL when the message
// callback asked to stop (the session's stop flag is then set), or the failure with which the
// table stopped giving rows (the messages not read are counted).
HRESULT ProcessMessages(SessionState& state, IMAPITable& contents, const FolderContext& folder);

// Opens, reads, composes and hands over the message of one contents-table row. Returns the
// message's result; a failure has been counted in the statistics.
HRESULT ProcessMessage(SessionState& state, const SRow& row, const FolderContext& folder);

}  // namespace import_session
