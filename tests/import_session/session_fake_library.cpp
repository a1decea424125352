// The session tests' stand-in mail library: every exported function forwards to the backend the
// test connected (session_fake_backend.h); without one, each answers E_FAIL.
#include "tests/import_session/session_fake_backend.h"
#include "tests/support/mail_library_export.h"

namespace {

session_fake::Backend* backend = nullptr;

}  // namespace

extern "C" {

TEST_LIBRARY_EXPORT void SessionFakeConnect(session_fake::Backend* connected) {
  backend = connected;
}

TEST_LIBRARY_EXPORT HRESULT STDAPICALLTYPE MAPIInitialize(LPVOID lpMapiInit) {
  return backend ? backend->Initialize(lpMapiInit) : E_FAIL;
}

TEST_LIBRARY_EXPORT void STDAPICALLTYPE MAPIUninitialize() {}

TEST_LIBRARY_EXPORT HRESULT STDAPICALLTYPE MAPILogonEx(ULONG_PTR ulUIParam, LPTSTR lpszProfileName,
                                                       LPTSTR lpszPassword, ULONG ulFlags,
                                                       LPMAPISESSION* lppSession) {
  return backend ? backend->LogonEx(ulUIParam, lpszProfileName, lpszPassword, ulFlags, lppSession)
                 : E_FAIL;
}

TEST_LIBRARY_EXPORT SCODE STDAPICALLTYPE MAPIAllocateBuffer(ULONG cbSize, LPVOID* lppBuffer) {
  return backend ? backend->AllocateBuffer(cbSize, lppBuffer) : E_FAIL;
}

TEST_LIBRARY_EXPORT SCODE STDAPICALLTYPE MAPIAllocateMore(ULONG cbSize, LPVOID lpObject,
                                                          LPVOID* lppBuffer) {
  return backend ? backend->AllocateMore(cbSize, lpObject, lppBuffer) : E_FAIL;
}

TEST_LIBRARY_EXPORT ULONG STDAPICALLTYPE MAPIFreeBuffer(LPVOID lpBuffer) {
  return backend ? backend->FreeBuffer(lpBuffer) : static_cast<ULONG>(E_FAIL);
}

TEST_LIBRARY_EXPORT HRESULT STDAPICALLTYPE MAPIAdminProfiles(ULONG ulFlags,
                                                             LPPROFADMIN* lppProfAdmin) {
  return backend ? backend->AdminProfiles(ulFlags, lppProfAdmin) : E_FAIL;
}

TEST_LIBRARY_EXPORT HRESULT STDAPICALLTYPE HrQueryAllRows(LPMAPITABLE lpTable,
                                                          LPSPropTagArray lpPropTags,
                                                          LPSRestriction lpRestriction,
                                                          LPSSortOrderSet lpSortOrderSet,
                                                          LONG crowsMax, LPSRowSet* lppRows) {
  return backend ? backend->QueryAllRows(lpTable, lpPropTags, lpRestriction, lpSortOrderSet,
                                         crowsMax, lppRows)
                 : E_FAIL;
}

TEST_LIBRARY_EXPORT void STDAPICALLTYPE FreeProws(LPSRowSet lpRows) {
  if (backend) backend->FreeRows(lpRows);
}

TEST_LIBRARY_EXPORT HRESULT STDAPICALLTYPE WrapCompressedRTFStream(
    LPSTREAM lpCompressedRTFStream, ULONG ulFlags, LPSTREAM* lpUncompressedRTFStream) {
  return backend
             ? backend->WrapCompressedRtf(lpCompressedRTFStream, ulFlags, lpUncompressedRTFStream)
             : E_FAIL;
}

TEST_LIBRARY_EXPORT HRESULT STDAPICALLTYPE HrGetOneProp(LPMAPIPROP lpMapiProp, ULONG ulPropTag,
                                                        LPSPropValue* lppProp) {
  return backend ? backend->GetOneProp(lpMapiProp, ulPropTag, lppProp) : E_FAIL;
}

TEST_LIBRARY_EXPORT HRESULT STDAPICALLTYPE HrValidateIPMSubtree(LPMDB lpMDB, ULONG ulFlags,
                                                                ULONG* lpcValues,
                                                                LPSPropValue* lppValues,
                                                                LPMAPIERROR* lpperr) {
  return backend ? backend->ValidateIpmSubtree(lpMDB, ulFlags, lpcValues, lppValues, lpperr)
                 : E_FAIL;
}

}  // extern "C"
