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

void CountUnread(SessionState& state, const FolderContext& folder, std::int64_t rows_seen,
                 HRESULT hr) {
  const std::int64_t rest = static_cast<std::int64_t>(folder.message_count) - rows_seen;
  CountSkippedMessages(state.statistics, folder.path, rest,
                       ReasonWithCode("the folder's message list could not be read", hr));
}

HRESULT ProcessOneByOne(SessionState& state, IMAPITable& contents, const FolderContext& folder) {
  HRESULT hr = S_OK;
  std::int64_t rows_seen = 0;
  for (;;) {
    mapi::RowSetPtr rows = QueryBatch(contents, hr);
    if (!rows) {
      CountUnread(state, folder, rows_seen, hr);
      return hr;
    }
    if (rows->cRows == 0) return hr;
    for (ULONG i = 0; i < rows->cRows && !state.stop_requested; ++i, ++rows_seen) {
      ProcessMessage(state, rows->aRow[i], folder);
    }
    if (state.stop_requested) return E_FAIL;
  }
}

// A batch as the table handed it: whether it handed one (else hr says why not) and its rows,
// which the workers have been given.
struct Batch {
  bool read = false;
  ULONG rows = 0;
  HRESULT hr = S_OK;
};

Batch ReadBatch(IMAPITable& contents, ParallelMessages& parallel) {
  Batch batch;
  mapi::RowSetPtr rows = QueryBatch(contents, batch.hr);
  if (!rows) return batch;
  batch.read = true;
  batch.rows = rows->cRows;
  parallel.Add(std::move(rows));
  return batch;
}

// The next batch is read while the workers finish this one (see HandOverNext) and given to them
// at once.
HRESULT ProcessInParallel(SessionState& state, IMAPITable& contents, const FolderContext& folder) {
  ParallelMessages parallel(state, folder, state.message_workers);
  std::int64_t rows_seen = 0;
  Batch batch = ReadBatch(contents, parallel);
  for (;;) {
    if (!batch.read) {
      CountUnread(state, folder, rows_seen, batch.hr);
      return batch.hr;
    }
    if (batch.rows == 0) return batch.hr;
    std::optional<Batch> next;
    rows_seen += parallel.HandOverNext(batch.rows, [&] { next = ReadBatch(contents, parallel); });
    if (state.stop_requested) return E_FAIL;
    batch = next ? *next : ReadBatch(contents, parallel);
  }
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
  const HRESULT hr = state.message_workers > 1 && folder.message_count > 1
                         ? ProcessInParallel(state, contents, folder)
                         : ProcessOneByOne(state, contents, folder);
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
