// A read-only stream whose bytes are produced piece by piece from another source (decompressed,
// converted): Read drains what was produced and asks for more until the caller's count is met or
// the source ends. A failure to produce fails the read.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/mapilib/read_only_stream.h"

namespace mapilib {

class PullStream : public ReadOnlyStream {
 public:
  HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) noexcept override {
    return Guarded("PullStream::Read", [&]() -> HRESULT {
      if (pcbRead) *pcbRead = 0;
      if (!pv && cb) return STG_E_INVALIDPOINTER;
      while (pending_.size() - taken_ < cb && !ended_) {
        const HRESULT hr = Produce(pending_, ended_);
        if (FAILED(hr)) return hr;
      }
      const std::size_t n = std::min<std::size_t>(cb, pending_.size() - taken_);
      if (n) std::memcpy(pv, pending_.data() + taken_, n);
      taken_ += n;
      if (taken_ == pending_.size()) {
        pending_.clear();
        taken_ = 0;
      }
      if (pcbRead) *pcbRead = static_cast<ULONG>(n);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) noexcept override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                   ULARGE_INTEGER*) noexcept override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) noexcept override { return STG_E_INVALIDFUNCTION; }

 protected:
  // Appends the next piece of output to `out`; sets `ended` once the source has no more.
  virtual HRESULT Produce(std::string& out, bool& ended) = 0;

 private:
  std::string pending_;
  std::size_t taken_ = 0;
  bool ended_ = false;
};

}  // namespace mapilib
