// Reading one folder's messages: batches of rows, one message at a time, each failure counted.
#include "libs/import_session/message_enumeration.h"

#include <exception>
#include <string>

#include "libs/mapi/mapi_binding.h"
#include "libs/mapi/prop_variant.h"
#include "support/diag/debug_trace.h"

namespace import_session {
namespace {

// The contents-table columns; only the entry id is used.
constexpr ULONG kContentsColumns[] = {PR_HASATTACH,    PR_MESSAGE_FLAGS,         PR_SUBJECT,
                                      PR_MESSAGE_SIZE, PR_MESSAGE_DELIVERY_TIME, PR_ENTRYID,
                                      PR_INSTANCE_KEY};

// The properties read from each opened message; the subject names a damaged message, the delivery
// time goes to the message callback.
constexpr ULONG kMessagePropTags[] = {PR_MESSAGE_CLASS,
                                      PR_SUBJECT,
                                      PR_BODY,
                                      PR_SENDER_EMAIL_ADDRESS,
                                      PR_HASATTACH,
                                      PR_RTF_COMPRESSED,
                                      PR_RTF_IN_SYNC,
                                      PR_TRANSPORT_MESSAGE_HEADERS,
                                      PR_MESSAGE_DELIVERY_TIME};
constexpr ULONG kSubjectValue = 1;
constexpr ULONG kDeliveryTimeValue = 8;

// How often a QueryRows that hands back no row set is asked before the folder's rest is given up.
constexpr int kQueryAttempts = 3;

void Skip(SessionState& state, const FolderContext& folder, std::string reason) {
  CountSkippedMessages(state.statistics, folder.path, 1, std::move(reason));
}

std::string ExceptionText(std::string_view what) {
  try {
    throw;
  } catch (const std::exception& error) {
    return std::string(what) + ": " + error.what();
  } catch (...) {
    return std::string(what) + ": unknown error";
  }
}

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

// Composes the message and hands its text to the message callback; handed_over tells whether the
// callback took it.
HRESULT ComposeAndHandOver(SessionState& state, IMessage& message, double message_time,
                           const FolderContext& folder, bool& handed_over) {
  handed_over = false;
  std::unique_ptr<MessageText> text;
  HRESULT hr;
  try {
    hr = state.compose(message, text);
  } catch (...) {
    Skip(state, folder, ExceptionText("composing it failed"));
    return S_OK;
  }
  if (FAILED(hr)) {
    Skip(state, folder, ReasonWithCode("it could not be composed", hr));
    return hr;
  }
  if (!state.on_message || !text) return hr;
  diag::DebugTrace("MessageCallback");
  bool stop = false;
  try {
    state.on_message(state.user_data, 0, folder.folder_id, *text, message_time, stop);
  } catch (...) {
    Skip(state, folder, ExceptionText("the archive did not take it"));
    return hr;
  }
  if (text->Failure() < 0) {
    hr = text->Failure();
    Skip(state, folder, ReasonWithCode("it could not be composed", hr));
  } else {
    handed_over = true;
  }
  if (stop) {
    state.stop_requested = true;
    hr = E_FAIL;
  }
  return hr;
}

// Reads the message's properties (its delivery time) and passes it on to be composed.
HRESULT ReadAndHandOver(SessionState& state, IMessage& message, const FolderContext& folder) {
  LPSPropTagArray raw_tags = nullptr;
  HRESULT hr = mapi::MakePropTagArray(kMessagePropTags, &raw_tags);
  mapi::MapiBufferPtr<SPropTagArray> tags(raw_tags);
  ULONG count = 0;
  LPSPropValue raw_values = nullptr;
  if (SUCCEEDED(hr)) {
    diag::DebugTrace("MAPIMessage.GetProps(MessagePropTagArray)");
    hr = message.GetProps(tags.get(), 0, &count, &raw_values);
  }
  mapi::MapiBufferPtr<SPropValue> values(raw_values);
  if (SUCCEEDED(hr) && (!values || count < std::size(kMessagePropTags))) hr = MAPI_E_CALL_FAILED;
  if (FAILED(hr)) {
    Skip(state, folder, ReasonWithCode("its properties could not be read", hr));
    return hr;
  }
  const SPropValue& delivery = values.get()[kDeliveryTimeValue];
  const double message_time = delivery.ulPropTag == PR_MESSAGE_DELIVERY_TIME
                                  ? mapi::FileTimeToDateTime(delivery.Value.ft)
                                  : 0.0;
  bool handed_over = false;
  hr = ComposeAndHandOver(state, message, message_time, folder, handed_over);
  // Exported, but what was read may be partly wrong or missing: the message is listed with it.
  std::string problems = TakeIntegrityFindings(message);
  if (handed_over && !problems.empty()) {
    const SPropValue& subject = values.get()[kSubjectValue];
    CountDamagedMessage(
        state.statistics, folder.path,
        subject.ulPropTag == PR_SUBJECT && subject.Value.lpszA ? subject.Value.lpszA : "",
        std::move(problems));
  }
  return hr;
}

// The row's entry id, or null when the column did not come back.
const SBinary* RowEntryId(const SRow& row) {
  const SPropValue* value = FindRowValue(row, PR_ENTRYID);
  return value ? &value->Value.bin : nullptr;
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
  HRESULT hr = S_OK;
  std::int64_t rows_seen = 0;
  for (;;) {
    mapi::RowSetPtr rows = QueryBatch(contents, hr);
    if (!rows) {
      const std::int64_t rest = static_cast<std::int64_t>(folder.message_count) - rows_seen;
      CountSkippedMessages(state.statistics, folder.path, rest,
                           ReasonWithCode("the folder's message list could not be read", hr));
      break;
    }
    if (rows->cRows == 0) break;
    for (ULONG i = 0; i < rows->cRows && !state.stop_requested; ++i, ++rows_seen) {
      ProcessMessage(state, rows->aRow[i], folder);
    }
    if (state.stop_requested) {
      hr = E_FAIL;
      break;
    }
  }
  diag::DebugTrace("ProcessMessages() finished");
  return hr;
}

HRESULT ProcessMessage(SessionState& state, const SRow& row, const FolderContext& folder) {
  diag::DebugTrace("ProcessMessage(" + std::string(folder.name) + ")");
  const SBinary* listed_id = RowEntryId(row);
  mapi::EntryIdCopy entry_id = listed_id ? mapi::CopyEntryId(*listed_id) : nullptr;
  mapi::InterfacePtr<IMessage> message;
  HRESULT hr = MAPI_E_INVALID_ENTRYID;
  if (!entry_id) {
    Skip(state, folder, "its entry id is missing from the folder's message list");
  } else {
    diag::DebugTrace("MDB.OpenEntry()");
    ULONG object_type = 0;
    LPUNKNOWN opened = nullptr;
    hr = state.mdb->OpenEntry(entry_id->cb, entry_id->lpb, &IID_IMessage, MAPI_BEST_ACCESS,
                              &object_type, &opened);
    hr = mapi::AdoptOpened(hr, opened, message);
    if (SUCCEEDED(hr)) {
      hr = ReadAndHandOver(state, *message, folder);
    } else {
      Skip(state, folder, ReasonWithCode("it could not be opened", hr));
    }
  }
  mapi::FreeEntryId(entry_id);
  diag::DebugTrace("ProcessRow() finished");
  return hr;
}

}  // namespace import_session
