// Handling of the mail library's memory and of entry ids: tag arrays built in MAPI memory,
// releasing MAPI buffers and row sets through references that are cleared, and copies of entry ids
// either in the program's own memory or in MAPI memory.
#pragma once

#include <initializer_list>
#include <memory>
#include <span>

#include "libs/mapi/mapi_types.h"

namespace mapi {

// Builds a tag array (4 + 4 * count bytes, one MAPI buffer) holding tags in order. Returns
// MAPIAllocateBuffer's result; on failure *out is null.
HRESULT MakePropTagArray(std::span<const ULONG> tags, LPSPropTagArray* out);
HRESULT MakePropTagArray(std::initializer_list<ULONG> tags, LPSPropTagArray* out);

// Releases a MAPI buffer with MAPIFreeBuffer and returns that result; returns 0 when the reference
// is null. The reference is cleared in both cases.
HRESULT MapiFreeBufferAt(void*& buffer);
template <typename T>
HRESULT MapiFreeBuffer(T*& buffer) {
  void* raw = const_cast<void*>(static_cast<const void*>(buffer));
  buffer = nullptr;
  return MapiFreeBufferAt(raw);
}

// Releases a row set with FreeProws when the reference holds one; clears the reference.
void FreeRows(LPSRowSet& rows);

// Owners for callers that prefer scope-bound release.
struct MapiBufferDeleter {
  void operator()(void* buffer) const;
};
template <typename T>
using MapiBufferPtr = std::unique_ptr<T, MapiBufferDeleter>;
struct RowSetDeleter {
  void operator()(SRowSet* rows) const;
};
using RowSetPtr = std::unique_ptr<SRowSet, RowSetDeleter>;

// An entry id copied into the program's own memory: the record and its bytes.
struct EntryIdDeleter {
  void operator()(SBinary* id) const;
};
using EntryIdCopy = std::unique_ptr<SBinary, EntryIdDeleter>;

// A copy of id in the program's own memory; none when id is empty or memory runs out.
EntryIdCopy CopyEntryId(const SBinary& id);
// Releases the copy (none is accepted) and clears the reference.
void FreeEntryId(EntryIdCopy& id);

// A copy of id in MAPI memory: the record from MAPIAllocateBuffer and the bytes from
// MAPIAllocateMore tied to it, so that one MAPIFreeBuffer of the record releases both. Null when
// id is empty or either allocation fails (nothing is left allocated then).
LPSBinary MapiCopyEntryId(const SBinary& id);

}  // namespace mapi
