// The steps of exporting one message of a contents-table row, separated so that they can run on
// different threads: reading and composing it (OpenAndCompose), handing its text to the message
// callback (HandOver), and taking what reading it met. A step that fails gives the reason to count
// instead of counting it, so that the caller counts in the order the messages were listed.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "libs/import_session/message_enumeration.h"

namespace import_session {

// Where the steps' trace lines go.
using TraceLine = std::function<void(std::string_view line)>;

// One message read and composed, or the reason it was not.
struct ComposedMessage {
  mapi::InterfacePtr<IMessage> message;     // set once opened
  mapi::MapiBufferPtr<SPropValue> values;   // set once its properties were read
  std::unique_ptr<MessageText> text;        // set when it is to be handed to the callback
  double time = 0.0;                        // the delivery time handed over with it
  HRESULT result = MAPI_E_INVALID_ENTRYID;  // the message's result so far
  std::optional<std::string> skip_reason;   // counted as not exported, before any callback
};

// Opens the row's message, reads its properties and composes it, on the calling thread; makes no
// change to the session's state.
ComposedMessage OpenAndCompose(const SessionState& state, const SRow& row, const TraceLine& trace);

// Hands a composed text to the message callback and counts what became of it. handed_over tells
// whether the callback took it. Returns the message's result (E_FAIL when the callback asked to
// stop).
HRESULT HandOver(SessionState& state, MessageText& text, double message_time,
                 const FolderContext& folder, HRESULT result, bool& handed_over);

// Counts the composed message's skip reason, hands its text over and lists its damage: the rest of
// the work on a message read on the calling thread. Returns the message's result.
HRESULT HandOverComposed(SessionState& state, const FolderContext& folder,
                         ComposedMessage& message);

// The message's subject as read with its properties, for the list of damaged messages.
std::string SubjectOf(const SPropValue* values);

// Lists the message as exported with damage when its reading met some (problems not empty).
void CountDamage(SessionState& state, const FolderContext& folder, bool handed_over,
                 std::string subject, std::string problems);

}  // namespace import_session
