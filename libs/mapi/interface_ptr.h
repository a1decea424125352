// An owning reference to a mail-library object: releases it with Release when it goes out of scope.
// The object arrives already counted (out arguments of OpenEntry, GetContentsTable, MAPILogonEx …),
// so taking it does not AddRef.
#pragma once

#include <utility>

#include "libs/mapi/mapi_codes.h"

namespace mapi {

template <typename T>
class InterfacePtr {
 public:
  InterfacePtr() = default;
  explicit InterfacePtr(T* object) : object_(object) {}
  ~InterfacePtr() { Reset(); }
  InterfacePtr(InterfacePtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  InterfacePtr& operator=(InterfacePtr&& other) noexcept {
    if (this != &other) {
      Reset();
      object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
  }
  InterfacePtr(const InterfacePtr&) = delete;
  InterfacePtr& operator=(const InterfacePtr&) = delete;

  T* get() const { return object_; }
  T* operator->() const { return object_; }
  T& operator*() const { return *object_; }
  explicit operator bool() const { return object_ != nullptr; }

  // Releases the object held, if any.
  void Reset() {
    if (T* held = std::exchange(object_, nullptr)) held->Release();
  }
  // Releases the object held and hands out the slot for a call that fills it.
  T** Out() {
    Reset();
    return &object_;
  }

 private:
  T* object_ = nullptr;
};

// Takes the object an OpenEntry-style call handed out as IUnknown: on success it becomes out's, as
// the interface that was asked for; on failure (or success without an object) it is released.
template <typename T, typename Unknown>
HRESULT AdoptOpened(HRESULT hr, Unknown* opened, InterfacePtr<T>& out) {
  if (SUCCEEDED(hr) && !opened) hr = E_FAIL;
  if (FAILED(hr)) {
    if (opened) opened->Release();
    return hr;
  }
  out = InterfacePtr<T>(static_cast<T*>(opened));
  return hr;
}

}  // namespace mapi
