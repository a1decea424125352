// Reading from the mail library's objects: property streams, whole stream texts, and stream data as
// a byte source for the composer.
#pragma once

#include <string>

#include "compose/byte_source.h"
#include "libs/mapi/interface_ptr.h"
#include "libs/mapi/mapi.h"

namespace compose {

// The property opened as a stream (interface options 0, MAPI_DEFERRED_ERRORS).
HRESULT OpenPropertyStream(IMAPIProp* object, ULONG tag, mapi::InterfacePtr<IStream>& out);

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
