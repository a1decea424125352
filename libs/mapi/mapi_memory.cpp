// Tag arrays, buffer and row-set release, entry-id copies.
#include "libs/mapi/mapi_memory.h"

#include <cstring>
#include <limits>
#include <new>

#include "libs/mapi/mapi_binding.h"
#include "libs/mapi/mapi_codes.h"

namespace mapi {

HRESULT MakePropTagArray(std::span<const ULONG> tags, LPSPropTagArray* out) {
  *out = nullptr;
  constexpr std::size_t kMaxTags =
      (std::numeric_limits<ULONG>::max() - CbNewSPropTagArray(0)) / sizeof(ULONG);
  if (tags.size() > kMaxTags) return MAPI_E_NOT_ENOUGH_MEMORY;
  void* buffer = nullptr;
  const HRESULT hr =
      MAPIAllocateBuffer(static_cast<ULONG>(CbNewSPropTagArray(tags.size())), &buffer);
  if (FAILED(hr) || !buffer) return FAILED(hr) ? hr : MAPI_E_NOT_ENOUGH_MEMORY;
  auto* array = static_cast<LPSPropTagArray>(buffer);
  array->cValues = static_cast<ULONG>(tags.size());
  for (std::size_t i = 0; i < tags.size(); ++i) array->aulPropTag[i] = tags[i];
  *out = array;
  return hr;
}

HRESULT MakePropTagArray(std::initializer_list<ULONG> tags, LPSPropTagArray* out) {
  return MakePropTagArray(std::span<const ULONG>(tags.begin(), tags.size()), out);
}

HRESULT MapiFreeBufferAt(void*& buffer) {
  void* held = buffer;
  buffer = nullptr;
  return held ? MAPIFreeBuffer(held) : S_OK;
}

void FreeRows(LPSRowSet& rows) {
  LPSRowSet held = rows;
  rows = nullptr;
  if (held) FreeProws(held);
}

void MapiBufferDeleter::operator()(void* buffer) const { MAPIFreeBuffer(buffer); }

void RowSetDeleter::operator()(SRowSet* rows) const { FreeProws(rows); }

void EntryIdDeleter::operator()(SBinary* id) const {
  delete[] id->lpb;
  delete id;
}

EntryIdCopy CopyEntryId(const SBinary& id) {
  if (id.cb == 0 || !id.lpb) return nullptr;
  EntryIdCopy copy(new (std::nothrow) SBinary{0, nullptr});
  if (!copy) return nullptr;
  copy->lpb = new (std::nothrow) BYTE[id.cb];
  if (!copy->lpb) return nullptr;
  std::memcpy(copy->lpb, id.lpb, id.cb);
  copy->cb = id.cb;
  return copy;
}

void FreeEntryId(EntryIdCopy& id) { id.reset(); }

LPSBinary MapiCopyEntryId(const SBinary& id) {
  if (id.cb == 0 || !id.lpb) return nullptr;
  void* record = nullptr;
  if (FAILED(MAPIAllocateBuffer(sizeof(SBinary), &record)) || !record) return nullptr;
  void* bytes = nullptr;
  if (FAILED(MAPIAllocateMore(id.cb, record, &bytes)) || !bytes) {
    MAPIFreeBuffer(record);
    return nullptr;
  }
  std::memcpy(bytes, id.lpb, id.cb);
  auto* copy = static_cast<LPSBinary>(record);
  copy->cb = id.cb;
  copy->lpb = static_cast<LPBYTE>(bytes);
  return copy;
}

}  // namespace mapi
