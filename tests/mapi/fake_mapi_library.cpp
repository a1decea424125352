// A stand-in for the mail library, built as small shared libraries in the test tree: it exports the
// functions the binding looks up (one variant leaves HrGetOneProp out, one makes its look-up fail
// on request), records every call in a Log that tests reach through the export FakeMapiLog, and
// implements MAPI memory for real (blocks with children tied to them, a count of live blocks,
// allocation failures on request).
#include <cstdlib>
#include <new>

#include "tests/mapi/fake_mapi_log.h"
#include "tests/support/mail_library_export.h"

namespace {

fake_mapi::Log the_log;

// Every allocation starts with this header; blocks from MAPIAllocateMore hang off their parent.
struct alignas(std::max_align_t) Block {
  Block* first_child;
  Block* next_sibling;
};

Block* HeaderOf(void* data) { return static_cast<Block*>(data) - 1; }

void* NewBlock(ULONG size) {
  if (the_log.allocations_until_failure == 0) return nullptr;
  if (the_log.allocations_until_failure > 0) --the_log.allocations_until_failure;
  the_log.last_allocation_size = size;
  auto* block = static_cast<Block*>(std::malloc(sizeof(Block) + size));
  if (!block) return nullptr;
  block->first_child = nullptr;
  block->next_sibling = nullptr;
  ++the_log.live_blocks;
  return block + 1;
}

void FreeBlock(Block* block) {
  for (Block* child = block->first_child; child;) {
    Block* next = child->next_sibling;
    FreeBlock(child);
    child = next;
  }
  --the_log.live_blocks;
  std::free(block);
}

}  // namespace

extern "C" {

TEST_LIBRARY_EXPORT fake_mapi::Log* FakeMapiLog() { return &the_log; }

TEST_LIBRARY_EXPORT HRESULT STDAPICALLTYPE MAPIInitialize(LPVOID lpMapiInit) {
  ++the_log.calls[fake_mapi::kInitialize];
  the_log.init_argument = lpMapiInit;
  return S_OK;
}

TEST_LIBRARY_EXPORT HRESULT STDAPICALLTYPE MAPILogonEx(ULONG_PTR ulUIParam, LPTSTR lpszProfileName,
                                                       LPTSTR lpszPassword, ULONG ulFlags,
                                                       LPMAPISESSION* lppSession) {
  ++the_log.calls[fake_mapi::kLogonEx];
  the_log.logon_ui_param = ulUIParam;
  the_log.logon_profile = lpszProfileName;
  the_log.logon_password = lpszPassword;
  the_log.logon_flags = ulFlags;
  if (SUCCEEDED(the_log.logon_result)) *lppSession = the_log.logon_session;
  return the_log.logon_result;
}

TEST_LIBRARY_EXPORT SCODE STDAPICALLTYPE MAPIAllocateBuffer(ULONG cbSize, LPVOID* lppBuffer) {
  ++the_log.calls[fake_mapi::kAllocateBuffer];
  void* data = NewBlock(cbSize);
  if (!data) return MAPI_E_NOT_ENOUGH_MEMORY;
  *lppBuffer = data;
  return S_OK;
}

TEST_LIBRARY_EXPORT SCODE STDAPICALLTYPE MAPIAllocateMore(ULONG cbSize, LPVOID lpObject,
                                                          LPVOID* lppBuffer) {
  ++the_log.calls[fake_mapi::kAllocateMore];
  if (!lpObject) return MAPI_E_INVALID_PARAMETER;
  void* data = NewBlock(cbSize);
  if (!data) return MAPI_E_NOT_ENOUGH_MEMORY;
  Block* parent = HeaderOf(lpObject);
  Block* child = HeaderOf(data);
  child->next_sibling = parent->first_child;
  parent->first_child = child;
  *lppBuffer = data;
  return S_OK;
}

TEST_LIBRARY_EXPORT ULONG STDAPICALLTYPE MAPIFreeBuffer(LPVOID lpBuffer) {
  ++the_log.calls[fake_mapi::kFreeBuffer];
  if (lpBuffer) FreeBlock(HeaderOf(lpBuffer));
  return S_OK;
}

TEST_LIBRARY_EXPORT HRESULT STDAPICALLTYPE MAPIAdminProfiles(ULONG, LPPROFADMIN*) {
  ++the_log.calls[fake_mapi::kAdminProfiles];
  return MAPI_E_NO_SUPPORT;
}

TEST_LIBRARY_EXPORT HRESULT STDAPICALLTYPE HrQueryAllRows(LPMAPITABLE lpTable,
                                                          LPSPropTagArray lpPropTags,
                                                          LPSRestriction lpRestriction,
                                                          LPSSortOrderSet lpSortOrderSet,
                                                          LONG crowsMax, LPSRowSet* lppRows) {
  ++the_log.calls[fake_mapi::kQueryAllRows];
  the_log.query_table = lpTable;
  the_log.query_tags = lpPropTags;
  the_log.query_restriction = lpRestriction;
  the_log.query_sort = lpSortOrderSet;
  the_log.query_row_limit = crowsMax;
  void* rows = nullptr;
  if (FAILED(MAPIAllocateBuffer(CbNewSRowSet(0), &rows))) return MAPI_E_NOT_ENOUGH_MEMORY;
  static_cast<LPSRowSet>(rows)->cRows = 0;
  *lppRows = static_cast<LPSRowSet>(rows);
  return S_OK;
}

TEST_LIBRARY_EXPORT void STDAPICALLTYPE FreeProws(LPSRowSet lpRows) {
  ++the_log.calls[fake_mapi::kFreeProws];
  the_log.freed_rows = lpRows;
  if (!lpRows) return;
  for (ULONG i = 0; i < lpRows->cRows; ++i) MAPIFreeBuffer(lpRows->aRow[i].lpProps);
  MAPIFreeBuffer(lpRows);
}

TEST_LIBRARY_EXPORT HRESULT STDAPICALLTYPE WrapCompressedRTFStream(
    LPSTREAM lpCompressedRTFStream, ULONG ulFlags, LPSTREAM* lpUncompressedRTFStream) {
  ++the_log.calls[fake_mapi::kWrapCompressedRtf];
  the_log.wrap_source = lpCompressedRTFStream;
  the_log.wrap_flags = ulFlags;
  *lpUncompressedRTFStream = lpCompressedRTFStream;
  return S_OK;
}

// Allocates the value; its tag is the one asked for and its number 42.
[[maybe_unused]] static HRESULT GetOneProp(LPMAPIPROP lpMapiProp, ULONG ulPropTag,
                                           LPSPropValue* lppProp) {
  ++the_log.calls[fake_mapi::kGetOneProp];
  the_log.get_prop_object = lpMapiProp;
  the_log.get_prop_tag = ulPropTag;
  void* value = nullptr;
  if (FAILED(MAPIAllocateBuffer(sizeof(SPropValue), &value))) return MAPI_E_NOT_ENOUGH_MEMORY;
  auto* prop = static_cast<LPSPropValue>(value);
  prop->ulPropTag = ulPropTag;
  prop->Value.l = 42;
  *lppProp = prop;
  return S_OK;
}

#if defined(FAKE_MAPI_FLAKY_GETONEPROP)
LPHRGETONEPROP ResolveHrGetOneProp() {
  ++the_log.get_one_prop_lookups;
  if (the_log.lookups_to_fail > 0) {
    --the_log.lookups_to_fail;
    return nullptr;
  }
  return &GetOneProp;
}
TEST_LIBRARY_EXPORT HRESULT STDAPICALLTYPE HrGetOneProp(LPMAPIPROP, ULONG, LPSPropValue*)
    __attribute__((ifunc("ResolveHrGetOneProp")));
#elif !defined(FAKE_MAPI_WITHOUT_HRGETONEPROP)
TEST_LIBRARY_EXPORT HRESULT STDAPICALLTYPE HrGetOneProp(LPMAPIPROP lpMapiProp, ULONG ulPropTag,
                                                        LPSPropValue* lppProp) {
  return GetOneProp(lpMapiProp, ulPropTag, lppProp);
}
#endif

TEST_LIBRARY_EXPORT HRESULT STDAPICALLTYPE HrValidateIPMSubtree(LPMDB lpMDB, ULONG ulFlags,
                                                                ULONG* lpcValues,
                                                                LPSPropValue* lppValues,
                                                                LPMAPIERROR*) {
  ++the_log.calls[fake_mapi::kValidateIpmSubtree];
  the_log.validate_store = lpMDB;
  the_log.validate_flags = ulFlags;
  void* values = nullptr;
  if (FAILED(MAPIAllocateBuffer(sizeof(SPropValue), &values))) return MAPI_E_NOT_ENOUGH_MEMORY;
  auto* mask = static_cast<LPSPropValue>(values);
  mask->ulPropTag = PR_VALID_FOLDER_MASK;
  mask->Value.ul = FOLDER_IPM_SUBTREE_VALID;
  *lpcValues = 1;
  *lppValues = mask;
  return S_OK;
}

}  // extern "C"
