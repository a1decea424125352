// Reading from the mail library's objects: owning references that release them, property streams,
// whole stream texts, and stream data as a byte source for the composer.
#pragma once

#include <memory>
#include <string>

#include "compose/byte_source.h"
#include "libs/mapi/mapi.h"

namespace compose {

struct Releaser {
  void operator()(IUnknown* object) const {
    if (object) object->Release();
  }
};
// An object handed out by the library, released with the reference.
template <typename T>
using Held = std::unique_ptr<T, Releaser>;

// Takes an object handed out as IUnknown on success; releases it on failure.
template <typename T>
HRESULT Adopt(HRESULT hr, IUnknown* opened, Held<T>& out) {
  if (SUCCEEDED(hr) && !opened) hr = E_FAIL;
  if (FAILED(hr)) {
    if (opened) opened->Release();
    return hr;
  }
  out.reset(static_cast<T*>(opened));
  return hr;
}

// The property opened as a stream (interface options 0, MAPI_DEFERRED_ERRORS).
HRESULT OpenPropertyStream(IMAPIProp* object, ULONG tag, Held<IStream>& out);

// Appends the stream's bytes to text until a read delivers none. A read that fails is the result,
// with what came before it appended; S_OK otherwise.
HRESULT ReadStreamText(IStream* stream, std::string& text);

// The property's text: empty when it cannot be opened (the object has none); the result is the
// failure of a read that broke off part-way.
HRESULT ReadPropertyText(IMAPIProp* object, ULONG tag, std::string& text);

// A library stream as a byte source. A failed read ends the data; status() then tells.
class MapiStreamSource final : public ByteSource {
 public:
  explicit MapiStreamSource(IStream* stream) : stream_(stream) {}
  std::size_t Read(char* buffer, std::size_t size) override;
  HRESULT status() const { return status_; }

 private:
  IStream* stream_;
  HRESULT status_ = S_OK;
  bool ended_ = false;
};

}  // namespace compose
