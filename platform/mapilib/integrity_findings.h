// How the library hands its reader's integrity findings to the caller: PR_INTEGRITY_FINDINGS asked
// for alone with GetProps (see mapi_tags.h), and how the interface objects note data they could not
// read as findings of the file.
#pragma once

#include <concepts>
#include <string>

#include "libs/mapi/mapi.h"
#include "platform/pst/messaging/message_store.h"
#include "platform/pst/result.h"

namespace mapilib {

// True when GetProps asks for exactly `tag` and nothing else (PR_INTEGRITY_FINDINGS,
// PR_INTEGRITY_FINDINGS_SET_ASIDE).
bool AsksForOnly(const SPropTagArray* tags, ULONG tag);

// GetProps' answer: one value, the findings' summary, or PT_ERROR MAPI_E_NOT_FOUND without
// findings.
HRESULT AnswerFindings(const pst::ndb::IntegrityFindings& findings, ULONG* count,
                       LPSPropValue* values);

// GetProps' answer once the findings were set aside: PT_BOOLEAN true.
HRESULT AnswerSetAside(ULONG* count, LPSPropValue* values);

// Whether a read that ended with `status` lost data: it failed, and not for absent data (the
// reader's kNotFound), which is no finding.
bool IsLoss(const pst::Status& status);

// Notes that `what` of the object could not be read, with the reader's reason, when IsLoss.
void NoteLoss(const pst::messaging::MessageStore& store, const std::string& what,
              const pst::Status& status);

// The same with `what` made by describe() only for a loss: for reads asked of every message,
// where absent data is the common answer and its description would be made for nothing.
template <std::invocable Describe>
void NoteLoss(const pst::messaging::MessageStore& store, Describe&& describe,
              const pst::Status& status) {
  if (IsLoss(status)) NoteLoss(store, describe(), status);
}

}  // namespace mapilib
