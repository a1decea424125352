// The mail library of the composer's tests, loaded through the real binding: MAPI memory (blocks
// with children freed with their parent, a count of live blocks), HrQueryAllRows and HrGetOneProp
// over the test objects' own methods, FreeProws, and WrapCompressedRTFStream that decompresses with
// the file reader's RTF decompressor. TestLiveBlocks() reports the blocks not yet freed.
#include <cstdlib>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "libs/mapi/mapi.h"
#include "platform/pst/rtf/rtf_decompressor.h"
#include "tests/compose/in_memory_istream.h"
#include "tests/support/mail_library_export.h"

namespace {

// Children of each live block (blocks from MAPIAllocateMore die with their parent).
std::unordered_map<void*, std::vector<void*>>& Blocks() {
  static std::unordered_map<void*, std::vector<void*>> blocks;
  return blocks;
}

void* Allocate(ULONG size) {
  void* data = std::malloc(size == 0 ? 1 : size);
  if (data) Blocks()[data];
  return data;
}

void Free(void* data) {
  auto it = Blocks().find(data);
  if (it == Blocks().end()) return;
  std::vector<void*> children = std::move(it->second);
  Blocks().erase(it);
  std::free(data);
  for (void* child : children) Free(child);
}

}  // namespace

extern "C" {

TEST_LIBRARY_EXPORT int TestLiveBlocks() { return static_cast<int>(Blocks().size()); }

TEST_LIBRARY_EXPORT SCODE STDAPICALLTYPE MAPIAllocateBuffer(ULONG cbSize, LPVOID* lppBuffer) {
  *lppBuffer = Allocate(cbSize);
  return *lppBuffer ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
}

TEST_LIBRARY_EXPORT SCODE STDAPICALLTYPE MAPIAllocateMore(ULONG cbSize, LPVOID lpObject,
                                                          LPVOID* lppBuffer) {
  auto parent = Blocks().find(lpObject);
  if (parent == Blocks().end()) return MAPI_E_INVALID_PARAMETER;
  void* data = Allocate(cbSize);
  if (!data) return MAPI_E_NOT_ENOUGH_MEMORY;
  Blocks()[lpObject].push_back(data);
  *lppBuffer = data;
  return S_OK;
}

TEST_LIBRARY_EXPORT ULONG STDAPICALLTYPE MAPIFreeBuffer(LPVOID lpBuffer) {
  Free(lpBuffer);
  return S_OK;
}

TEST_LIBRARY_EXPORT HRESULT STDAPICALLTYPE HrQueryAllRows(LPMAPITABLE lpTable,
                                                          LPSPropTagArray lpPropTags,
                                                          LPSRestriction, LPSSortOrderSet, LONG,
                                                          LPSRowSet* lppRows) {
  if (lpPropTags) {
    HRESULT hr = lpTable->SetColumns(lpPropTags, 0);
    if (FAILED(hr)) return hr;
  }
  return lpTable->QueryRows(0x7FFFFFFF, 0, lppRows);
}

TEST_LIBRARY_EXPORT void STDAPICALLTYPE FreeProws(LPSRowSet lpRows) {
  if (!lpRows) return;
  for (ULONG i = 0; i < lpRows->cRows; ++i) Free(lpRows->aRow[i].lpProps);
  Free(lpRows);
}

TEST_LIBRARY_EXPORT HRESULT STDAPICALLTYPE HrGetOneProp(LPMAPIPROP lpMapiProp, ULONG ulPropTag,
                                                        LPSPropValue* lppProp) {
  SPropTagArray tags{1, {ulPropTag}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  HRESULT hr = lpMapiProp->GetProps(&tags, 0, &count, &values);
  if (FAILED(hr)) return hr;
  if (PROP_TYPE(values[0].ulPropTag) == PT_ERROR) {
    hr = values[0].Value.err;
    Free(values);
    return hr;
  }
  *lppProp = values;
  return S_OK;
}

TEST_LIBRARY_EXPORT HRESULT STDAPICALLTYPE WrapCompressedRTFStream(LPSTREAM lpCompressedRTFStream,
                                                                   ULONG,
                                                                   LPSTREAM* lppUncompressed) {
  std::string compressed;
  char block[4096];
  for (;;) {
    ULONG got = 0;
    HRESULT hr = lpCompressedRTFStream->Read(block, sizeof block, &got);
    if (FAILED(hr)) return hr;
    if (got == 0) break;
    compressed.append(block, got);
  }
  auto rtf =
      pst::rtf::DecompressRtf(std::as_bytes(std::span(compressed.data(), compressed.size())));
  if (!rtf) return MAPI_E_CORRUPT_DATA;
  *lppUncompressed = new compose_test::InMemoryIStream(std::move(rtf->rtf));
  return S_OK;
}

}  // extern "C"
