// The parts of IStream that a read-only stream answers alike: writing, resizing, committing and
// locking are refused or have nothing to do.
#pragma once

#include "platform/mapilib/counted_object.h"

namespace mapilib {

class ReadOnlyStream : public CountedObject<IStream> {
 public:
  HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) noexcept override {
    return STG_E_ACCESSDENIED;
  }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) noexcept override { return STG_E_ACCESSDENIED; }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) noexcept override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) noexcept override {
    return STG_E_INVALIDFUNCTION;
  }

 protected:
  bool Supports(REFIID iid) const override {
    return OneOf(iid, {&IID_IStream, &IID_ISequentialStream});
  }
};

}  // namespace mapilib
