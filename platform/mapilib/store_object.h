// IMsgStore over an opened file: its properties (the special folders and PR_VALID_FOLDER_MASK as
// the library computes them), opening by entry id, entry-id comparison and the receive folders.
#pragma once

#include <mutex>

#include "platform/mapilib/folder_object.h"

namespace mapilib {

// True when both entry ids name the same node of `store`.
bool SameStoreEntry(const pst::messaging::MessageStore& store, ULONG size1, LPENTRYID id1,
                    ULONG size2, LPENTRYID id2);

class StoreObject final : public PropObject<IMsgStore> {
 public:
  explicit StoreObject(StoreRef store) : store_(std::move(store)) {}

  // The last error under error_mutex_: messages are opened from several threads at once.
  HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, LPMAPIERROR* error) noexcept override;

  HRESULT STDMETHODCALLTYPE Advise(ULONG, LPENTRYID, ULONG, LPMAPIADVISESINK,
                                   ULONG_PTR*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE Unadvise(ULONG_PTR) noexcept override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE CompareEntryIDs(ULONG size1, LPENTRYID id1, ULONG size2, LPENTRYID id2,
                                            ULONG flags, ULONG* result) noexcept override;
  HRESULT STDMETHODCALLTYPE OpenEntry(ULONG size, LPENTRYID id, LPCIID iid, ULONG flags,
                                      ULONG* object_type, LPUNKNOWN* out) noexcept override;
  HRESULT STDMETHODCALLTYPE SetReceiveFolder(LPTSTR, ULONG, ULONG, LPENTRYID) noexcept override {
    return MAPI_E_NO_ACCESS;
  }
  HRESULT STDMETHODCALLTYPE GetReceiveFolder(LPTSTR message_class, ULONG flags, ULONG* size,
                                             LPENTRYID* id,
                                             LPTSTR* explicit_class) noexcept override;
  HRESULT STDMETHODCALLTYPE GetReceiveFolderTable(ULONG, LPMAPITABLE*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE StoreLogoff(ULONG* flags) noexcept override;
  HRESULT STDMETHODCALLTYPE AbortSubmit(ULONG, LPENTRYID, ULONG) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE GetOutgoingQueue(ULONG, LPMAPITABLE*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE SetLockState(LPMESSAGE, ULONG) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE FinishedMsg(ULONG, ULONG, LPENTRYID) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE NotifyNewMail(LPNOTIFICATION) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }

 private:
  bool Supports(REFIID iid) const override { return OneOf(iid, {&IID_IMsgStore, &IID_IMAPIProp}); }
  ObjectView View() const override {
    return {ObjectKind::kStore, &store_->properties(), store_.get(), 0x21, 0};
  }
  const StoreRef& Store() const override { return store_; }
  // What no message took: damage met opening the file, in B-tree pages and in folders.
  std::optional<pst::ndb::IntegrityFindings> TakeFindings() override {
    return store_->database().log().TakeAll();
  }

  StoreRef store_;
  std::mutex error_mutex_;  // guards last_error_
};

}  // namespace mapilib
