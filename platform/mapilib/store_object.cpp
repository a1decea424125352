// The message store as an interface object.
#include "platform/mapilib/store_object.h"

#include <cstring>

#include "platform/mapilib/mapi_allocator.h"
#include "platform/mapilib/value_conversion.h"

namespace mapilib {

bool SameStoreEntry(const pst::messaging::MessageStore& store, ULONG size1, LPENTRYID id1,
                    ULONG size2, LPENTRYID id2) {
  if (!id1 || !id2) return false;
  auto a = store.ResolveEntryId(
      std::span<const std::byte>(reinterpret_cast<const std::byte*>(id1), size1));
  auto b = store.ResolveEntryId(
      std::span<const std::byte>(reinterpret_cast<const std::byte*>(id2), size2));
  return a && b && *a == *b;
}

HRESULT StoreObject::CompareEntryIDs(ULONG size1, LPENTRYID id1, ULONG size2, LPENTRYID id2, ULONG,
                                     ULONG* result) noexcept {
  return Guarded("StoreObject::CompareEntryIDs", [&]() -> HRESULT {
    if (!result) return MAPI_E_INVALID_PARAMETER;
    *result = SameStoreEntry(*store_, size1, id1, size2, id2) ? 1 : 0;
    return S_OK;
  });
}

HRESULT StoreObject::OpenEntry(ULONG size, LPENTRYID id, LPCIID iid, ULONG, ULONG* object_type,
                               LPUNKNOWN* out) noexcept {
  return Guarded("StoreObject::OpenEntry", [&]() -> HRESULT {
    std::string reason;
    const HRESULT hr = OpenStoreEntry(store_, size, id, iid, object_type, out, &reason);
    if (!reason.empty()) {
      const std::lock_guard<std::mutex> lock(error_mutex_);
      last_error_ = std::move(reason);
    }
    return hr;
  });
}

HRESULT StoreObject::GetLastError(HRESULT, ULONG, LPMAPIERROR* error) noexcept {
  return Guarded("StoreObject::GetLastError", [&]() -> HRESULT {
    const std::lock_guard<std::mutex> lock(error_mutex_);
    return MakeMapiErrorRecord(last_error_, error);
  });
}

HRESULT StoreObject::GetReceiveFolder(LPTSTR message_class, ULONG flags, ULONG* size, LPENTRYID* id,
                                      LPTSTR* explicit_class) noexcept {
  return Guarded("StoreObject::GetReceiveFolder", [&]() -> HRESULT {
    if (!size || !id) return MAPI_E_INVALID_PARAMETER;
    *size = 0;
    *id = nullptr;
    if (explicit_class) *explicit_class = nullptr;
    if (flags & MAPI_UNICODE) return MAPI_E_BAD_CHARWIDTH;
    auto folder = store_->ReceiveFolderFor(message_class ? message_class : "");
    if (!folder) return StatusToScode(folder.status());
    if (!*folder) return MAPI_E_NOT_FOUND;
    const std::vector<std::byte> bytes = EntryIdBytes(*store_, **folder);
    void* buffer = AllocateBuffer(bytes.size());
    if (!buffer) return MAPI_E_NOT_ENOUGH_MEMORY;
    std::memcpy(buffer, bytes.data(), bytes.size());
    *size = static_cast<ULONG>(bytes.size());
    *id = static_cast<LPENTRYID>(buffer);
    if (explicit_class) {
      void* text = AllocateBuffer(1);
      *explicit_class = static_cast<LPTSTR>(text);
    }
    return S_OK;
  });
}

HRESULT StoreObject::StoreLogoff(ULONG* flags) noexcept {
  return Guarded("StoreObject::StoreLogoff", [&]() -> HRESULT {
    if (flags) *flags = 0;
    return S_OK;
  });
}

}  // namespace mapilib
