// Run-time binding of the mail library. The program never links against the library: the first
// wrapper call decides whether the library is installed (the registry's "MAPIX" value), finds its
// file (the registry's "DLLPathEx" value, else "MAPI32.DLL"), and loads it once for the life of the
// process. Each wrapper looks its function up by export name on first use.
//
// Without the library, or without one export, a wrapper returns E_FAIL (FreeProws does nothing);
// every out argument is cleared before the call, so a failed call never leaves garbage for the
// caller to release. A failed binding is never retried; a failed name lookup is retried on the next
// call. Single-threaded: the first call must not race another.
#pragma once

#include <string>

#include "libs/mapi/mapi_interfaces.h"
#include "libs/mapi/mapi_types.h"

namespace mapi {

// Loads the library on the first call; later calls return at once, whatever the first one found.
void BindMapiLibrary();

// The file the binding loads or loaded: "MAPI32.DLL" until the registry names another.
const std::string& MapiLibraryPath();

// Why the library could not be loaded (empty when it was loaded or not yet tried). Diagnostics
// only.
const std::string& MapiLibraryLoadError();

// For the user: "Cannot load the mail library <path>: <reason>" when the library could not be
// loaded or lacks an entry a wrapper asked for; empty otherwise.
std::string MapiLibraryFailure();

// The wrappers: the library's functions with their own arguments and results.
HRESULT MAPIInitialize(LPVOID lpMapiInit);
HRESULT MAPILogonEx(ULONG_PTR ulUIParam, LPTSTR lpszProfileName, LPTSTR lpszPassword, ULONG ulFlags,
                    LPMAPISESSION* lppSession);
HRESULT MAPIAllocateBuffer(ULONG cbSize, LPVOID* lppBuffer);
HRESULT MAPIAllocateMore(ULONG cbSize, LPVOID lpObject, LPVOID* lppBuffer);
HRESULT MAPIFreeBuffer(LPVOID lpBuffer);
HRESULT MAPIAdminProfiles(ULONG ulFlags, LPPROFADMIN* lppProfAdmin);
HRESULT HrQueryAllRows(LPMAPITABLE lpTable, LPSPropTagArray lpPropTags,
                       LPSRestriction lpRestriction, LPSSortOrderSet lpSortOrderSet, LONG crowsMax,
                       LPSRowSet* lppRows);
void FreeProws(LPSRowSet lpRows);
HRESULT WrapCompressedRTFStream(LPSTREAM lpCompressedRTFStream, ULONG ulFlags,
                                LPSTREAM* lpUncompressedRTFStream);
HRESULT HrGetOneProp(LPMAPIPROP lpMapiProp, ULONG ulPropTag, LPSPropValue* lppProp);
HRESULT HrValidateIPMSubtree(LPMDB lpMDB, ULONG ulFlags, ULONG* lpcValues, LPSPropValue* lppValues,
                             LPMAPIERROR* lpperr);

}  // namespace mapi
