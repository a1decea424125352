// IMAPIFolder over a folder of the file: properties, hierarchy and contents tables, and opening
// the folders and messages its tables list. Read-only.
#pragma once

#include "platform/mapilib/message_object.h"

namespace mapilib {

// Opens the folder or message an entry id of `store` names (an empty id: the root folder).
HRESULT OpenStoreEntry(const StoreRef& store, ULONG size, LPENTRYID id, LPCIID iid,
                       ULONG* object_type, LPUNKNOWN* out, std::string* reason);

class FolderObject final : public PropObject<IMAPIFolder> {
 public:
  FolderObject(StoreRef store, pst::messaging::Folder folder)
      : store_(std::move(store)), folder_(std::move(folder)) {}

  HRESULT STDMETHODCALLTYPE GetContentsTable(ULONG flags, LPMAPITABLE* table) noexcept override;
  HRESULT STDMETHODCALLTYPE GetHierarchyTable(ULONG flags, LPMAPITABLE* table) noexcept override;
  HRESULT STDMETHODCALLTYPE OpenEntry(ULONG size, LPENTRYID id, LPCIID iid, ULONG flags,
                                      ULONG* object_type, LPUNKNOWN* out) noexcept override;
  HRESULT STDMETHODCALLTYPE SetSearchCriteria(LPSRestriction, LPENTRYLIST,
                                              ULONG) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE GetSearchCriteria(ULONG, LPSRestriction*, LPENTRYLIST*,
                                              ULONG*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE CreateMessage(LPCIID, ULONG, LPMESSAGE*) noexcept override {
    return MAPI_E_NO_ACCESS;
  }
  HRESULT STDMETHODCALLTYPE CopyMessages(LPENTRYLIST, LPCIID, LPVOID, ULONG_PTR, LPMAPIPROGRESS,
                                         ULONG) noexcept override {
    return MAPI_E_NO_ACCESS;
  }
  HRESULT STDMETHODCALLTYPE DeleteMessages(LPENTRYLIST, ULONG_PTR, LPMAPIPROGRESS,
                                           ULONG) noexcept override {
    return MAPI_E_NO_ACCESS;
  }
  HRESULT STDMETHODCALLTYPE CreateFolder(ULONG, LPTSTR, LPTSTR, LPCIID, ULONG,
                                         LPMAPIFOLDER*) noexcept override {
    return MAPI_E_NO_ACCESS;
  }
  HRESULT STDMETHODCALLTYPE CopyFolder(ULONG, LPENTRYID, LPCIID, LPVOID, LPTSTR, ULONG_PTR,
                                       LPMAPIPROGRESS, ULONG) noexcept override {
    return MAPI_E_NO_ACCESS;
  }
  HRESULT STDMETHODCALLTYPE DeleteFolder(ULONG, LPENTRYID, ULONG_PTR, LPMAPIPROGRESS,
                                         ULONG) noexcept override {
    return MAPI_E_NO_ACCESS;
  }
  HRESULT STDMETHODCALLTYPE SetReadFlags(LPENTRYLIST, ULONG_PTR, LPMAPIPROGRESS,
                                         ULONG) noexcept override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetMessageStatus(ULONG, LPENTRYID, ULONG,
                                             ULONG* status) noexcept override {
    return Guarded("FolderObject::GetMessageStatus", [&]() -> HRESULT {
      if (status) *status = 0;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE SetMessageStatus(ULONG, LPENTRYID, ULONG, ULONG,
                                             ULONG*) noexcept override {
    return MAPI_E_NO_ACCESS;
  }
  HRESULT STDMETHODCALLTYPE SaveContentsSort(LPSSortOrderSet, ULONG) noexcept override {
    return MAPI_E_NO_ACCESS;
  }
  HRESULT STDMETHODCALLTYPE EmptyFolder(ULONG_PTR, LPMAPIPROGRESS, ULONG) noexcept override {
    return MAPI_E_NO_ACCESS;
  }

 private:
  bool Supports(REFIID iid) const override {
    return OneOf(iid, {&IID_IMAPIFolder, &IID_IMAPIContainer, &IID_IMAPIProp});
  }
  ObjectView View() const override {
    return {ObjectKind::kFolder, &folder_.properties(), store_.get(), folder_.id(), 0};
  }
  const StoreRef& Store() const override { return store_; }

  StoreRef store_;
  pst::messaging::Folder folder_;
};

}  // namespace mapilib
