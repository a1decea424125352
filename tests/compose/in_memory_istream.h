// An IStream over bytes held in memory, for the composer's test objects and the test mail library.
// It can be told to fail its reads once a number of bytes has been delivered (damaged data), and
// counts live streams so that tests can check every stream is released.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstring>
#include <optional>
#include <string>

#include "libs/mapi/mapi.h"

namespace compose_test {

class InMemoryIStream final : public IStream {
 public:
  // Reads fail with STG_E_READFAULT once fail_after bytes have been read (never when negative).
  // Stat answers stated_size when given, else fails.
  explicit InMemoryIStream(std::string data, long long fail_after = -1,
                           std::optional<unsigned long long> stated_size = std::nullopt)
      : data_(std::move(data)), fail_after_(fail_after), stated_size_(stated_size) {
    ++Live();
  }

  static std::atomic<int>& Live() {
    static std::atomic<int> live{0};
    return live;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      --Live();
      delete this;
    }
    return left;
  }

  HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) override {
    if (pcbRead) *pcbRead = 0;
    if (fail_after_ >= 0 && static_cast<long long>(position_) >= fail_after_)
      return STG_E_READFAULT;
    std::size_t n = std::min<std::size_t>(cb, data_.size() - position_);
    if (fail_after_ >= 0)
      n = std::min<std::size_t>(n, static_cast<std::size_t>(fail_after_) - position_);
    if (n > 0) std::memcpy(pv, data_.data() + position_, n);
    position_ += n;
    if (pcbRead) *pcbRead = static_cast<ULONG>(n);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override {
    return STG_E_ACCESSDENIED;
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return STG_E_ACCESSDENIED; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                   ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
    if (!stated_size_) return E_NOTIMPL;
    *stat = STATSTG{};
    stat->cbSize.QuadPart = *stated_size_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

 private:
  ~InMemoryIStream() = default;

  std::string data_;
  std::size_t position_ = 0;
  long long fail_after_;
  std::optional<unsigned long long> stated_size_;
  ULONG references_ = 1;
};

}  // namespace compose_test
