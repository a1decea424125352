// The session tests' stand-in mail library: every exported function forwards to the backend the
// test connected (session_fake_backend.h); without one, each answers E_FAIL.
#include "tests/import_session/session_fake_backend.h"

namespace {

session_fake::Backend* backend = nullptr;

}  // namespace

extern "C" {

void SessionFakeConnect(session_fake::Backend* connected) { backend = connected; }

HRESULT MAPIInitialize(LPVOID lpMapiInit) {
  return backend ? backend->Initialize(lpMapiInit) : E_FAIL;
}

void MAPIUninitialize() {}

HRESULT MAPILogonEx(ULONG_PTR ulUIParam, LPTSTR lpszProfileName, LPTSTR lpszPassword, ULONG ulFlags,
                    LPMAPISESSION* lppSession) {
  return backend ? backend->LogonEx(ulUIParam, lpszProfileName, lpszPassword, ulFlags, lppSession)
                 : E_FAIL;
}

SCODE MAPIAllocateBuffer(ULONG cbSize, LPVOID* lppBuffer) {
  return backend ? backend->AllocateBuffer(cbSize, lppBuffer) : E_FAIL;
}

SCODE MAPIAllocateMore(ULONG cbSize, LPVOID lpObject, LPVOID* lppBuffer) {
  return backend ? backend->AllocateMore(cbSize, lpObject, lppBuffer) : E_FAIL;
}

ULONG MAPIFreeBuffer(LPVOID lpBuffer) {
  return backend ? backend->FreeBuffer(lpBuffer) : static_cast<ULONG>(E_FAIL);
}

HRESULT MAPIAdminProfiles(ULONG ulFlags, LPPROFADMIN* lppProfAdmin) {
  return backend ? backend->AdminProfiles(ulFlags, lppProfAdmin) : E_FAIL;
}

HRESULT HrQueryAllRows(LPMAPITABLE lpTable, LPSPropTagArray lpPropTags,
                       LPSRestriction lpRestriction, LPSSortOrderSet lpSortOrderSet, LONG crowsMax,
                       LPSRowSet* lppRows) {
  return backend ? backend->QueryAllRows(lpTable, lpPropTags, lpRestriction, lpSortOrderSet,
                                         crowsMax, lppRows)
                 : E_FAIL;
}

void FreeProws(LPSRowSet lpRows) {
  if (backend) backend->FreeRows(lpRows);
}

HRESULT WrapCompressedRTFStream(LPSTREAM lpCompressedRTFStream, ULONG ulFlags,
                                LPSTREAM* lpUncompressedRTFStream) {
  return backend
             ? backend->WrapCompressedRtf(lpCompressedRTFStream, ulFlags, lpUncompressedRTFStream)
             : E_FAIL;
}

HRESULT HrGetOneProp(LPMAPIPROP lpMapiProp, ULONG ulPropTag, LPSPropValue* lppProp) {
  return backend ? backend->GetOneProp(lpMapiProp, ulPropTag, lppProp) : E_FAIL;
}

HRESULT HrValidateIPMSubtree(LPMDB lpMDB, ULONG ulFlags, ULONG* lpcValues, LPSPropValue* lppValues,
                             LPMAPIERROR* lpperr) {
  return backend ? backend->ValidateIpmSubtree(lpMDB, ulFlags, lpcValues, lppValues, lpperr)
                 : E_FAIL;
}

}  // extern "C"
