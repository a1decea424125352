// What the stand-in mail library (fake_mapi_library.cpp) records about the calls it receives, and
// the knobs with which a test steers it. The library exports FakeMapiLog() returning its record.
#pragma once

#include "libs/mapi/mapi.h"

namespace fake_mapi {

enum Call {
  kInitialize,
  kLogonEx,
  kAllocateBuffer,
  kAllocateMore,
  kFreeBuffer,
  kAdminProfiles,
  kQueryAllRows,
  kFreeProws,
  kWrapCompressedRtf,
  kGetOneProp,
  kValidateIpmSubtree,
  kCallCount
};

struct Log {
  int calls[kCallCount] = {};

  // Arguments of the last call of each kind.
  LPVOID init_argument = nullptr;
  ULONG_PTR logon_ui_param = 0;
  const char* logon_profile = nullptr;
  const char* logon_password = nullptr;
  ULONG logon_flags = 0;
  LPMAPITABLE query_table = nullptr;
  LPSPropTagArray query_tags = nullptr;
  LPSRestriction query_restriction = nullptr;
  LPSSortOrderSet query_sort = nullptr;
  LONG query_row_limit = 0;
  LPSTREAM wrap_source = nullptr;
  ULONG wrap_flags = 0;
  LPMAPIPROP get_prop_object = nullptr;
  ULONG get_prop_tag = 0;
  LPMDB validate_store = nullptr;
  ULONG validate_flags = 0;
  LPSRowSet freed_rows = nullptr;

  // Results the library hands back.
  HRESULT logon_result = S_OK;  // a failed logon leaves the session untouched
  LPMAPISESSION logon_session = nullptr;

  // The library variant built with FAKE_MAPI_FLAKY_GETONEPROP resolves HrGetOneProp anew at each
  // look-up of the name (a GNU indirect function) and answers the first lookups_to_fail look-ups
  // with no address.
  int get_one_prop_lookups = 0;
  int lookups_to_fail = 0;

  // Allocations: blocks alive now, and after how many more successful allocations the next one
  // fails (-1: never).
  int live_blocks = 0;
  ULONG last_allocation_size = 0;
  int allocations_until_failure = -1;
};

using FakeMapiLogFunction = Log*();

}  // namespace fake_mapi
