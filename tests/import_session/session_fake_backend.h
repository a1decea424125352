// The seam between the session tests' stand-in mail library (session_fake_library.cpp, a shared
// library the binding loads like the real one) and the in-memory mail world of the test: the
// library forwards each exported function to the backend the test connected through the export
// SessionFakeConnect, and answers E_FAIL while none is connected.
#pragma once

#include "libs/mapi/mapi.h"

namespace session_fake {

class Backend {
 public:
  virtual HRESULT Initialize(LPVOID init) = 0;
  virtual HRESULT LogonEx(ULONG_PTR ui_param, LPTSTR profile, LPTSTR password, ULONG flags,
                          LPMAPISESSION* session) = 0;
  virtual SCODE AllocateBuffer(ULONG size, LPVOID* buffer) = 0;
  virtual SCODE AllocateMore(ULONG size, LPVOID parent, LPVOID* buffer) = 0;
  virtual ULONG FreeBuffer(LPVOID buffer) = 0;
  virtual HRESULT AdminProfiles(ULONG flags, LPPROFADMIN* prof_admin) = 0;
  virtual HRESULT QueryAllRows(LPMAPITABLE table, LPSPropTagArray tags, LPSRestriction restriction,
                               LPSSortOrderSet sort, LONG row_limit, LPSRowSet* rows) = 0;
  virtual void FreeRows(LPSRowSet rows) = 0;
  virtual HRESULT WrapCompressedRtf(LPSTREAM compressed, ULONG flags, LPSTREAM* uncompressed) = 0;
  virtual HRESULT GetOneProp(LPMAPIPROP object, ULONG tag, LPSPropValue* value) = 0;
  virtual HRESULT ValidateIpmSubtree(LPMDB store, ULONG flags, ULONG* count, LPSPropValue* values,
                                     LPMAPIERROR* error) = 0;

 protected:
  ~Backend() = default;
};

// The library's export that connects a backend (nullptr disconnects).
using ConnectFunction = void(Backend* backend);

}  // namespace session_fake
