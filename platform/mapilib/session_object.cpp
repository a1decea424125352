// The session object.
#include "platform/mapilib/session_object.h"

#include <algorithm>

#include "platform/mapilib/mapi_error.h"
#include "platform/mapilib/memory_rows.h"
#include "platform/mapilib/store_object.h"

namespace mapilib {
namespace {

using StoreList = std::vector<std::shared_ptr<const pst::messaging::MessageStore>>;

class SessionObject final : public CountedObject<IMAPISession> {
 public:
  explicit SessionObject(StoreList stores) : stores_(std::move(stores)) {}

  HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, LPMAPIERROR* error) noexcept override {
    return Guarded("SessionObject::GetLastError",
                   [&]() -> HRESULT { return MakeMapiErrorRecord(last_error_, error); });
  }
  HRESULT STDMETHODCALLTYPE GetMsgStoresTable(ULONG, LPMAPITABLE* table) noexcept override {
    return Guarded("SessionObject::GetMsgStoresTable", [&]() -> HRESULT {
      if (!table) return MAPI_E_INVALID_PARAMETER;
      std::vector<MemoryRow> rows;
      for (std::size_t i = 0; i < stores_.size(); ++i) {
        const auto& store = *stores_[i];
        const auto& key = store.record_key();
        rows.push_back({{PR_DEFAULT_STORE, ULONG{i == 0 ? 1u : 0u}},
                        {PR_ENTRYID, StoreEntryIdBytes(store)},
                        {PR_DISPLAY_NAME, store.display_name()},
                        {PR_RECORD_KEY, std::vector<std::byte>(key.begin(), key.end())}});
      }
      return HandOut(new (std::nothrow) TableObject(std::make_unique<MemoryRows>(std::move(rows))),
                     table);
    });
  }
  HRESULT STDMETHODCALLTYPE OpenMsgStore(ULONG_PTR, ULONG size, LPENTRYID id, LPCIID iid, ULONG,
                                         LPMDB* out) noexcept override {
    return Guarded("SessionObject::OpenMsgStore", [&]() -> HRESULT {
      if (!out) return MAPI_E_INVALID_PARAMETER;
      *out = nullptr;
      if (iid && !(*iid == IID_IMsgStore) && !(*iid == IID_IMAPIProp)) {
        return MAPI_E_INTERFACE_NOT_SUPPORTED;
      }
      for (const auto& store : stores_) {
        const std::vector<std::byte> mine = StoreEntryIdBytes(*store);
        if (id && size == mine.size() &&
            std::equal(mine.begin(), mine.end(), reinterpret_cast<const std::byte*>(id))) {
          return HandOut(new (std::nothrow) StoreObject(store), out);
        }
      }
      last_error_ = "no message store with that entry id in this session";
      return MAPI_E_NOT_FOUND;
    });
  }
  HRESULT STDMETHODCALLTYPE OpenAddressBook(ULONG_PTR, LPCIID, ULONG,
                                            LPADRBOOK*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE OpenProfileSection(LPMAPIUID, LPCIID, ULONG,
                                               LPPROFSECT*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE GetStatusTable(ULONG, LPMAPITABLE*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE OpenEntry(ULONG size, LPENTRYID id, LPCIID iid, ULONG,
                                      ULONG* object_type, LPUNKNOWN* out) noexcept override {
    return Guarded("SessionObject::OpenEntry", [&]() -> HRESULT {
      if (!out) return MAPI_E_INVALID_PARAMETER;
      *out = nullptr;
      for (const auto& store : stores_) {
        const HRESULT hr = OpenStoreEntry(store, size, id, iid, object_type, out, &last_error_);
        if (hr != MAPI_E_NOT_FOUND && hr != MAPI_E_INVALID_ENTRYID) return hr;
      }
      return MAPI_E_NOT_FOUND;
    });
  }
  HRESULT STDMETHODCALLTYPE CompareEntryIDs(ULONG size1, LPENTRYID id1, ULONG size2, LPENTRYID id2,
                                            ULONG, ULONG* result) noexcept override {
    return Guarded("SessionObject::CompareEntryIDs", [&]() -> HRESULT {
      if (!result) return MAPI_E_INVALID_PARAMETER;
      *result = 0;
      for (const auto& store : stores_) {
        if (SameStoreEntry(*store, size1, id1, size2, id2)) *result = 1;
      }
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE Advise(ULONG, LPENTRYID, ULONG, LPMAPIADVISESINK,
                                   ULONG_PTR*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE Unadvise(ULONG_PTR) noexcept override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE MessageOptions(ULONG_PTR, ULONG, LPTSTR, LPMESSAGE) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE QueryDefaultMessageOpt(LPTSTR, ULONG, ULONG*,
                                                   LPSPropValue*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE EnumAdrTypes(ULONG, ULONG*, LPTSTR**) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE QueryIdentity(ULONG*, LPENTRYID*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE Logoff(ULONG_PTR, ULONG, ULONG) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetDefaultStore(ULONG, ULONG, LPENTRYID) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE AdminServices(ULONG, LPSERVICEADMIN*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE ShowForm(ULONG_PTR, LPMDB, LPMAPIFOLDER, LPCIID, ULONG_PTR, LPMESSAGE,
                                     ULONG, ULONG, ULONG, ULONG, LPSTR) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE PrepareForm(LPCIID, LPMESSAGE, ULONG_PTR*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }

 private:
  bool Supports(REFIID iid) const override { return OneOf(iid, {&IID_IMAPISession}); }

  StoreList stores_;
  std::string last_error_;
};

}  // namespace

IMAPISession* NewSession(StoreList stores) {
  return new (std::nothrow) SessionObject(std::move(stores));
}

}  // namespace mapilib
