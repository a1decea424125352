// Reference counting for the library's objects: an object lives while callers hold references and
// deletes itself on the last Release. Objects answer QueryInterface for the ids they list.
#pragma once

#include <atomic>
#include <initializer_list>

#include "libs/mapi/mapi.h"
#include "platform/mapilib/boundary_guard.h"

namespace mapilib {

template <typename Interface>
class CountedObject : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!(iid == IID_IUnknown) && !Supports(iid)) return E_NOINTERFACE;
    AddRef();
    *out = static_cast<Interface*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() noexcept override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  CountedObject() = default;
  // Virtual here only: the slot lands after every interface method, so the method table the
  // program sees is unchanged.
  virtual ~CountedObject() = default;
  // The interface ids besides IID_IUnknown this object answers to.
  virtual bool Supports(REFIID iid) const = 0;

  static bool OneOf(REFIID iid, std::initializer_list<const IID*> ids) {
    for (const IID* id : ids) {
      if (iid == *id) return true;
    }
    return false;
  }

 private:
  std::atomic<ULONG> references_{1};
};

// Hands a new object (holding its first reference) to an out argument.
template <typename Interface, typename Object>
HRESULT HandOut(Object* object, Interface** out) {
  if (!object) return MAPI_E_NOT_ENOUGH_MEMORY;
  *out = object;
  return S_OK;
}

}  // namespace mapilib
