// Reading, composing and handing over one message; the reasons of failures given back to count.
#include "libs/import_session/message_reading.h"

#include <exception>
#include <string>

#include "libs/mapi/mapi_binding.h"
#include "libs/mapi/prop_variant.h"
#include "support/diag/debug_trace.h"

namespace import_session {
namespace {

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

void Skip(SessionState& state, const FolderContext& folder, std::string reason) {
  CountSkippedMessages(state.statistics, folder.path, 1, std::move(reason));
}

// The text of the exception being handled, after `what`.
std::string ExceptionText(std::string_view what) {
  try {
    throw;
  } catch (const std::exception& error) {
    return std::string(what) + ": " + error.what();
  } catch (...) {
    return std::string(what) + ": unknown error";
  }
}

// The row's entry id, or null when the column did not come back.
const SBinary* RowEntryId(const SRow& row) {
  const SPropValue* value = FindRowValue(row, PR_ENTRYID);
  return value ? &value->Value.bin : nullptr;
}

void Open(const SessionState& state, const SRow& row, const TraceLine& trace,
          ComposedMessage& out) {
  const SBinary* listed_id = RowEntryId(row);
  mapi::EntryIdCopy entry_id = listed_id ? mapi::CopyEntryId(*listed_id) : nullptr;
  if (!entry_id) {
    out.skip_reason = "its entry id is missing from the folder's message list";
    return;
  }
  trace("MDB.OpenEntry()");
  ULONG object_type = 0;
  LPUNKNOWN opened = nullptr;
  HRESULT hr = state.mdb->OpenEntry(entry_id->cb, entry_id->lpb, &IID_IMessage, MAPI_BEST_ACCESS,
                                    &object_type, &opened);
  out.result = mapi::AdoptOpened(hr, opened, out.message);
  mapi::FreeEntryId(entry_id);
  if (FAILED(out.result)) out.skip_reason = ReasonWithCode("it could not be opened", out.result);
}

void ReadProps(const TraceLine& trace, ComposedMessage& out) {
  LPSPropTagArray raw_tags = nullptr;
  HRESULT hr = mapi::MakePropTagArray(kMessagePropTags, &raw_tags);
  mapi::MapiBufferPtr<SPropTagArray> tags(raw_tags);
  ULONG count = 0;
  LPSPropValue raw_values = nullptr;
  if (SUCCEEDED(hr)) {
    trace("MAPIMessage.GetProps(MessagePropTagArray)");
    hr = out.message->GetProps(tags.get(), 0, &count, &raw_values);
  }
  mapi::MapiBufferPtr<SPropValue> values(raw_values);
  if (SUCCEEDED(hr) && (!values || count < std::size(kMessagePropTags))) hr = MAPI_E_CALL_FAILED;
  out.result = hr;
  if (FAILED(hr)) {
    out.skip_reason = ReasonWithCode("its properties could not be read", hr);
    return;
  }
  const SPropValue& delivery = values.get()[kDeliveryTimeValue];
  out.time = delivery.ulPropTag == PR_MESSAGE_DELIVERY_TIME
                 ? mapi::FileTimeToDateTime(delivery.Value.ft)
                 : 0.0;
  out.values = std::move(values);
}

void Compose(const SessionState& state, ComposedMessage& out) {
  std::unique_ptr<MessageText> text;
  try {
    out.result = state.compose(*out.message, text);
  } catch (...) {
    out.skip_reason = ExceptionText("composing it failed");
    out.result = S_OK;
    return;
  }
  if (FAILED(out.result)) {
    out.skip_reason = ReasonWithCode("it could not be composed", out.result);
  } else if (state.on_message) {
    out.text = std::move(text);
  }
}

}  // namespace

ComposedMessage OpenAndCompose(const SessionState& state, const SRow& row, const TraceLine& trace) {
  ComposedMessage out;
  Open(state, row, trace, out);
  if (!out.skip_reason) ReadProps(trace, out);
  if (!out.skip_reason) Compose(state, out);
  return out;
}

HRESULT HandOver(SessionState& state, MessageText& text, double message_time,
                 const FolderContext& folder, HRESULT result, bool& handed_over) {
  handed_over = false;
  diag::DebugTrace("MessageCallback");
  bool stop = false;
  try {
    state.on_message(state.user_data, 0, folder.folder_id, text, message_time, stop);
  } catch (...) {
    Skip(state, folder, ExceptionText("the archive did not take it"));
    return result;
  }
  if (text.Failure() < 0) {
    result = text.Failure();
    Skip(state, folder, ReasonWithCode("it could not be composed", result));
  } else {
    handed_over = true;
  }
  if (stop) {
    state.stop_requested = true;
    result = E_FAIL;
  }
  return result;
}

HRESULT HandOverComposed(SessionState& state, const FolderContext& folder,
                         ComposedMessage& message) {
  if (message.skip_reason) Skip(state, folder, std::move(*message.skip_reason));
  bool handed_over = false;
  if (message.text) {
    message.result =
        HandOver(state, *message.text, message.time, folder, message.result, handed_over);
    message.text.reset();
  }
  if (message.values) {
    std::string problems = TakeIntegrityFindings(*message.message);
    CountDamage(state, folder, handed_over, SubjectOf(message.values.get()), std::move(problems));
  }
  return message.result;
}

std::string SubjectOf(const SPropValue* values) {
  const SPropValue& subject = values[kSubjectValue];
  return subject.ulPropTag == PR_SUBJECT && subject.Value.lpszA ? subject.Value.lpszA : "";
}

void CountDamage(SessionState& state, const FolderContext& folder, bool handed_over,
                 std::string subject, std::string problems) {
  // Exported, but what was read may be partly wrong or missing: the message is listed with it.
  if (handed_over && !problems.empty()) {
    CountDamagedMessage(state.statistics, folder.path, std::move(subject), std::move(problems));
  }
}

}  // namespace import_session
