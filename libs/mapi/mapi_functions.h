// Function types of the mail library's exported functions. The program reaches them only through
// the wrappers of mapi_binding.h; the library defines them with C linkage under these signatures.
#pragma once

#include "libs/mapi/mapi_interfaces.h"
#include "libs/mapi/mapi_types.h"

// lpMapiInit: null, or a MAPIINIT_0.
using MAPIINITIALIZE = HRESULT STDAPICALLTYPE(LPVOID lpMapiInit);
using MAPILOGONEX = HRESULT STDAPICALLTYPE(ULONG_PTR ulUIParam, LPTSTR lpszProfileName,
                                           LPTSTR lpszPassword, ULONG ulFlags,
                                           LPMAPISESSION* lppSession);
using MAPIALLOCATEBUFFER = SCODE STDAPICALLTYPE(ULONG cbSize, LPVOID* lppBuffer);
// The new block is tied to lpObject and released with it.
using MAPIALLOCATEMORE = SCODE STDAPICALLTYPE(ULONG cbSize, LPVOID lpObject, LPVOID* lppBuffer);
using MAPIFREEBUFFER = ULONG STDAPICALLTYPE(LPVOID lpBuffer);
using MAPIADMINPROFILES = HRESULT STDAPICALLTYPE(ULONG ulFlags, LPPROFADMIN* lppProfAdmin);
using HRQUERYALLROWS = HRESULT STDAPICALLTYPE(LPMAPITABLE lpTable, LPSPropTagArray lpPropTags,
                                              LPSRestriction lpRestriction,
                                              LPSSortOrderSet lpSortOrderSet, LONG crowsMax,
                                              LPSRowSet* lppRows);
// Releases every row's values and the row set itself.
using FREEPROWS = void STDAPICALLTYPE(LPSRowSet lpRows);
using WRAPCOMPRESSEDRTFSTREAM = HRESULT STDAPICALLTYPE(LPSTREAM lpCompressedRTFStream,
                                                       ULONG ulFlags,
                                                       LPSTREAM* lpUncompressedRTFStream);
using HRGETONEPROP = HRESULT STDAPICALLTYPE(LPMAPIPROP lpMapiProp, ULONG ulPropTag,
                                            LPSPropValue* lppProp);
// Hands out the IPM subtree, outbox, deleted-items and sent-items entry ids, the inbox's entry id
// under kValidatedInboxEntryIdTag and PR_VALID_FOLDER_MASK, in one MAPI allocation.
using HRVALIDATEIPMSUBTREE = HRESULT STDAPICALLTYPE(LPMDB lpMDB, ULONG ulFlags, ULONG* lpcValues,
                                                    LPSPropValue* lppValues, LPMAPIERROR* lpperr);

using LPMAPIINITIALIZE = MAPIINITIALIZE*;
using LPMAPILOGONEX = MAPILOGONEX*;
using LPMAPIALLOCATEBUFFER = MAPIALLOCATEBUFFER*;
using LPMAPIALLOCATEMORE = MAPIALLOCATEMORE*;
using LPMAPIFREEBUFFER = MAPIFREEBUFFER*;
using LPMAPIADMINPROFILES = MAPIADMINPROFILES*;
using LPHRQUERYALLROWS = HRQUERYALLROWS*;
using LPFREEPROWS = FREEPROWS*;
using LPWRAPCOMPRESSEDRTFSTREAM = WRAPCOMPRESSEDRTFSTREAM*;
using LPHRGETONEPROP = HRGETONEPROP*;
using LPHRVALIDATEIPMSUBTREE = HRVALIDATEIPMSUBTREE*;
