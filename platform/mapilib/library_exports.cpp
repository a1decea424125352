// The functions the library exports by their undecorated names: initialisation, memory, profile
// administration, logon, and the helpers over tables, properties, streams and the IPM subtree.
#include <atomic>
#include <cstring>

#include "libs/mapi/mapi.h"
#include "platform/mapilib/boundary_guard.h"
#include "platform/mapilib/mapi_allocator.h"
#include "platform/mapilib/profiles.h"
#include "platform/mapilib/rtf_istream.h"
#include "platform/mapilib/session_object.h"
#include "platform/mapilib/table_object.h"

// On Windows the exports are __stdcall and keep their decorated names ("MAPIInitialize@4").
#ifdef _WIN32
#define MAPI_EXPORT extern "C" __declspec(dllexport)
#else
#define MAPI_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

// MAPIInitialize calls not yet matched by MAPIUninitialize.
std::atomic<int>& InitializeCount() {
  static std::atomic<int> count = 0;
  return count;
}

constexpr ULONG kSubtreeTags[] = {PR_IPM_SUBTREE_ENTRYID, PR_IPM_OUTBOX_ENTRYID,
                                  PR_IPM_WASTEBASKET_ENTRYID, PR_IPM_SENTMAIL_ENTRYID,
                                  PR_VALID_FOLDER_MASK};

// Copies `value` into `out`, with binary bytes tied to `parent`.
void CopyValue(const SPropValue& value, void* parent, SPropValue& out) {
  out = value;
  if (PROP_TYPE(value.ulPropTag) == PT_BINARY) {
    out.Value.bin.lpb = mapilib::CopyBytes(
        std::span<const std::byte>(reinterpret_cast<const std::byte*>(value.Value.bin.lpb),
                                   value.Value.bin.cb),
        parent);
    if (!out.Value.bin.lpb) {
      out.ulPropTag = CHANGE_PROP_TYPE(value.ulPropTag, PT_ERROR);
      out.Value.err = MAPI_E_NOT_ENOUGH_MEMORY;
    }
  }
}

}  // namespace

MAPI_EXPORT HRESULT STDAPICALLTYPE MAPIInitialize(LPVOID) noexcept {
  ++InitializeCount();
  return S_OK;
}

MAPI_EXPORT void STDAPICALLTYPE MAPIUninitialize() noexcept {
  int count = InitializeCount().load();
  while (count > 0 && !InitializeCount().compare_exchange_weak(count, count - 1)) {
  }
}

MAPI_EXPORT SCODE STDAPICALLTYPE MAPIAllocateBuffer(ULONG size, LPVOID* buffer) noexcept {
  return mapilib::Guarded("MAPIAllocateBuffer", [&]() -> HRESULT {
    if (!buffer) return MAPI_E_INVALID_PARAMETER;
    *buffer = mapilib::AllocateBuffer(size);
    return *buffer ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
  });
}

MAPI_EXPORT SCODE STDAPICALLTYPE MAPIAllocateMore(ULONG size, LPVOID parent,
                                                  LPVOID* buffer) noexcept {
  return mapilib::Guarded("MAPIAllocateMore", [&]() -> HRESULT {
    if (!buffer || !parent) return MAPI_E_INVALID_PARAMETER;
    *buffer = mapilib::AllocateMore(size, parent);
    return *buffer ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
  });
}

MAPI_EXPORT ULONG STDAPICALLTYPE MAPIFreeBuffer(LPVOID buffer) noexcept {
  return mapilib::FreeBuffer(buffer) ? S_OK : static_cast<ULONG>(MAPI_E_INVALID_PARAMETER);
}

MAPI_EXPORT HRESULT STDAPICALLTYPE MAPIAdminProfiles(ULONG, LPPROFADMIN* admin) noexcept {
  return mapilib::Guarded("MAPIAdminProfiles", [&]() -> HRESULT {
    if (!admin) return MAPI_E_INVALID_PARAMETER;
    *admin = mapilib::NewProfAdmin();
    return *admin ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
  });
}

MAPI_EXPORT HRESULT STDAPICALLTYPE MAPILogonEx(ULONG_PTR, LPTSTR profile, LPTSTR, ULONG,
                                               LPMAPISESSION* session) noexcept {
  return mapilib::Guarded("MAPILogonEx", [&]() -> HRESULT {
    if (!session) return MAPI_E_INVALID_PARAMETER;
    *session = nullptr;
    if (InitializeCount() == 0) return MAPI_E_NOT_INITIALIZED;
    // Without a profile name there is nothing to choose from: no dialogs on this platform.
    if (!profile || !*profile) return MAPI_E_LOGON_FAILED;
    auto stores = mapilib::ProfileStores(profile);
    if (!stores) return MAPI_E_LOGON_FAILED;
    if (stores->empty()) return MAPI_E_UNCONFIGURED;
    *session = mapilib::NewSession(std::move(*stores));
    return *session ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
  });
}

MAPI_EXPORT void STDAPICALLTYPE FreeProws(LPSRowSet rows) noexcept { mapilib::FreeRowSet(rows); }

MAPI_EXPORT HRESULT STDAPICALLTYPE HrQueryAllRows(LPMAPITABLE table, LPSPropTagArray tags,
                                                  LPSRestriction restriction, LPSSortOrderSet sort,
                                                  LONG max_rows, LPSRowSet* rows) noexcept {
  return mapilib::Guarded("HrQueryAllRows", [&]() -> HRESULT {
    if (!table || !rows) return MAPI_E_INVALID_PARAMETER;
    *rows = nullptr;
    HRESULT hr = S_OK;
    if (tags) hr = table->SetColumns(tags, 0);
    if (SUCCEEDED(hr) && restriction) hr = table->Restrict(restriction, 0);
    if (SUCCEEDED(hr) && sort) hr = table->SortTable(sort, 0);
    if (SUCCEEDED(hr)) hr = table->SeekRow(BOOKMARK_BEGINNING, 0, nullptr);
    ULONG count = 0;
    if (SUCCEEDED(hr)) hr = table->GetRowCount(0, &count);
    if (FAILED(hr)) return hr;
    if (max_rows > 0 && count > static_cast<ULONG>(max_rows)) return MAPI_E_TABLE_TOO_BIG;
    return table->QueryRows(static_cast<LONG>(count), 0, rows);
  });
}

MAPI_EXPORT HRESULT STDAPICALLTYPE HrGetOneProp(LPMAPIPROP object, ULONG tag,
                                                LPSPropValue* value) noexcept {
  return mapilib::Guarded("HrGetOneProp", [&]() -> HRESULT {
    if (!object || !value) return MAPI_E_INVALID_PARAMETER;
    *value = nullptr;
    SPropTagArray one{1, {tag}};
    ULONG count = 0;
    LPSPropValue values = nullptr;
    const HRESULT hr = object->GetProps(&one, 0, &count, &values);
    if (FAILED(hr)) return hr;
    if (!values || count != 1 || PROP_TYPE(values[0].ulPropTag) == PT_ERROR) {
      const HRESULT code = values && count == 1 ? values[0].Value.err : MAPI_E_NOT_FOUND;
      mapilib::FreeBuffer(values);
      return code;
    }
    *value = values;
    return S_OK;
  });
}

MAPI_EXPORT HRESULT STDAPICALLTYPE WrapCompressedRTFStream(LPSTREAM compressed, ULONG flags,
                                                           LPSTREAM* out) noexcept {
  return mapilib::Guarded("WrapCompressedRTFStream", [&]() -> HRESULT {
    if (!out) return MAPI_E_INVALID_PARAMETER;
    *out = nullptr;
    if (!compressed) return MAPI_E_INVALID_PARAMETER;
    if (flags & MAPI_MODIFY) return MAPI_E_NO_SUPPORT;  // writing RTF is not offered
    *out = mapilib::NewRtfStream(compressed);
    return *out ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
  });
}

// The IPM subtree, outbox, deleted-items and sent-items entry ids, the inbox (receive folder of
// "IPM") under kValidatedInboxEntryIdTag, and PR_VALID_FOLDER_MASK, in one buffer.
MAPI_EXPORT HRESULT STDAPICALLTYPE HrValidateIPMSubtree(LPMDB store, ULONG, ULONG* count,
                                                        LPSPropValue* values,
                                                        LPMAPIERROR* error) noexcept {
  return mapilib::Guarded("HrValidateIPMSubtree", [&]() -> HRESULT {
    if (error) *error = nullptr;
    if (!store || !count || !values) return MAPI_E_INVALID_PARAMETER;
    *count = 0;
    *values = nullptr;
    constexpr ULONG kTagCount = sizeof kSubtreeTags / sizeof kSubtreeTags[0];
    struct {
      ULONG cValues;
      ULONG aulPropTag[kTagCount];
    } tags{kTagCount, {}};
    std::memcpy(tags.aulPropTag, kSubtreeTags, sizeof kSubtreeTags);
    ULONG got = 0;
    LPSPropValue props = nullptr;
    HRESULT hr = store->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &got, &props);
    if (FAILED(hr)) return hr;
    auto* out =
        static_cast<LPSPropValue>(mapilib::AllocateBuffer(sizeof(SPropValue) * (kTagCount + 1)));
    if (!out) {
      mapilib::FreeBuffer(props);
      return MAPI_E_NOT_ENOUGH_MEMORY;
    }
    for (ULONG i = 0; i < got && i < kTagCount; ++i) CopyValue(props[i], out, out[i]);
    mapilib::FreeBuffer(props);
    SPropValue& inbox = out[kTagCount];
    ULONG size = 0;
    LPENTRYID id = nullptr;
    char ipm[] = "IPM";
    hr = store->GetReceiveFolder(ipm, 0, &size, &id, nullptr);
    if (SUCCEEDED(hr) && id) {
      SPropValue found{};
      found.ulPropTag = kValidatedInboxEntryIdTag;
      found.Value.bin.cb = size;
      found.Value.bin.lpb = id;
      CopyValue(found, out, inbox);
    } else {
      inbox.ulPropTag = CHANGE_PROP_TYPE(kValidatedInboxEntryIdTag, PT_ERROR);
      inbox.Value.err = FAILED(hr) ? hr : MAPI_E_NOT_FOUND;
    }
    mapilib::FreeBuffer(id);
    *count = kTagCount + 1;
    *values = out;
    return S_OK;
  });
}
