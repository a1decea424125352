// Findings as a property value, and losses noted in the file's integrity log.
#include "platform/mapilib/integrity_findings.h"

#include "platform/mapilib/mapi_allocator.h"
#include "platform/mapilib/value_conversion.h"

namespace mapilib {

namespace {

// GetProps' answer of one value, which fill sets and whose SCODE it returns: S_OK, or
// MAPI_W_ERRORS_RETURNED when the value is an error.
template <typename Fill>
HRESULT AnswerOne(ULONG* count, LPSPropValue* values, Fill fill) {
  if (!count || !values) return MAPI_E_INVALID_PARAMETER;
  *count = 0;
  *values = nullptr;
  auto* out = static_cast<LPSPropValue>(AllocateBuffer(sizeof(SPropValue)));
  if (!out) return MAPI_E_NOT_ENOUGH_MEMORY;
  out->dwAlignPad = 0;
  const SCODE sc = fill(*out);
  *count = 1;
  *values = out;
  return sc == S_OK ? S_OK : MAPI_W_ERRORS_RETURNED;
}

}  // namespace

bool AsksForOnly(const SPropTagArray* tags, ULONG tag) {
  return tags && tags->cValues == 1 && tags->aulPropTag[0] == tag;
}

HRESULT AnswerSetAside(ULONG* count, LPSPropValue* values) {
  return AnswerOne(count, values, [](SPropValue& out) {
    out.ulPropTag = PR_INTEGRITY_FINDINGS_SET_ASIDE;
    out.Value.b = 1;
    return S_OK;
  });
}

HRESULT AnswerFindings(const pst::ndb::IntegrityFindings& findings, ULONG* count,
                       LPSPropValue* values) {
  return AnswerOne(count, values, [&findings](SPropValue& out) {
    SCODE sc = MAPI_E_NOT_FOUND;
    if (!findings.empty()) sc = SetTextValue(PR_INTEGRITY_FINDINGS, findings.Summary(), &out, out);
    if (sc != S_OK) SetErrorValue(PR_INTEGRITY_FINDINGS, sc, out);
    return sc;
  });
}

bool IsLoss(const pst::Status& status) {
  return !status.ok() && status.code() != pst::ErrorCode::kNotFound;
}

void NoteLoss(const pst::messaging::MessageStore& store, const std::string& what,
              const pst::Status& status) {
  if (!IsLoss(status)) return;
  store.database().log().Lost(what + " could not be read: " + status.message());
}

}  // namespace mapilib
