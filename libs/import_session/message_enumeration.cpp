// Reading one folder's messages: batches of rows, each message on the session's thread or on the
// workers, each failure counted.
#include "libs/import_session/message_enumeration.h"

#include <optional>
#include <string>

#include "libs/import_session/message_reading.h"
#include "libs/import_session/parallel_messages.h"
#include "libs/mapi/mapi_binding.h"
#include "support/diag/debug_trace.h"

namespace import_session {
namespace {

// The contents-table columns; only the entry id is used.
constexpr ULONG kContentsColumns[] = {PR_HASATTACH,    PR_MESSAGE_FLAGS,         PR_SUBJECT,
                                      PR_MESSAGE_SIZE, PR_MESSAGE_DELIVERY_TIME, PR_ENTRYID,
                                      PR_INSTANCE_KEY};

// How often a QueryRows that hands back no row set is asked before the folder's rest is given up.
constexpr int kQueryAttempts = 3;

// The next batch, asked again when the table hands back nothing; null when it never does.
mapi::RowSetPtr QueryBatch(IMAPITable& contents, HRESULT& hr) {
  for (int attempt = 0; attempt < kQueryAttempts; ++attempt) {
    LPSRowSet rows = nullptr;
    hr = contents.QueryRows(kMessageBatchSize, 0, &rows);
    if (SUCCEEDED(hr) && rows) return mapi::RowSetPtr(rows);
    mapi::FreeRows(rows);
  }
  if (SUCCEEDED(hr)) hr = MAPI_E_CALL_FAILED;
  return nullptr;
}

}  // namespace

HRESULT ProcessMessages(SessionState& state, IMAPITable& contents, const FolderContext& folder) {
  diag::DebugTrace("ProcessMessages(" + std::string(folder.name) + ")");
  {
    LPSPropTagArray columns = nullptr;
    if (SUCCEEDED(mapi::MakePropTagArray(kContentsColumns, &columns))) {
      mapi::MapiBufferPtr<SPropTagArray> owned(columns);
      contents.SetColumns(columns, 0);
    }
  }
  contents.SeekRow(BOOKMARK_BEGINNING, 0, nullptr);
  // Workers only where there is more than one message to share out.
  std::optional<ParallelMessages> parallel;
  if (state.message_workers > 1 && folder.message_count > 1) {
    parallel.emplace(state, folder, state.message_workers);
  }
  HRESULT hr = S_OK;
  std::int64_t rows_seen = 0;
  mapi::RowSetPtr rows = QueryBatch(contents, hr);
  for (;;) {
    if (!rows) {
      const std::int64_t rest = static_cast<std::int64_t>(folder.message_count) - rows_seen;
      CountSkippedMessages(state.statistics, folder.path, rest,
                           ReasonWithCode("the folder's message list could not be read", hr));
      break;
    }
    if (rows->cRows == 0) break;
    // With workers the next batch is read while they finish this one (see ProcessBatch).
    std::optional<mapi::RowSetPtr> next;
    HRESULT next_hr = S_OK;
    if (parallel) {
      rows_seen += parallel->ProcessBatch(*rows, [&] { next = QueryBatch(contents, next_hr); });
    } else {
      for (ULONG i = 0; i < rows->cRows && !state.stop_requested; ++i, ++rows_seen) {
        ProcessMessage(state, rows->aRow[i], folder);
      }
    }
    if (state.stop_requested) {
      hr = E_FAIL;
      break;
    }
    if (next) {
      hr = next_hr;
      rows = std::move(*next);
    } else {
      rows = QueryBatch(contents, hr);
    }
  }
  diag::DebugTrace("ProcessMessages() finished");
  return hr;
}

HRESULT ProcessMessage(SessionState& state, const SRow& row, const FolderContext& folder) {
  diag::DebugTrace("ProcessMessage(" + std::string(folder.name) + ")");
  ComposedMessage message =
      OpenAndCompose(state, row, [](std::string_view line) { diag::DebugTrace(line); });
  const HRESULT hr = HandOverComposed(state, folder, message);
  diag::DebugTrace("ProcessRow() finished");
  return hr;
}

}  // namespace import_session
