// Property streams of the mail library, read in blocks.
#include "compose/mapi_reading.h"

#include <algorithm>
#include <limits>

namespace compose {
namespace {

// Read on the stack: a block on the heap per text was an allocation of its own for every body,
// and one of a size whose release makes the allocator sort its free lists.
constexpr std::size_t kReadBlock = 16 * 1024;

}  // namespace

HRESULT OpenPropertyStream(IMAPIProp* object, ULONG tag, mapi::InterfacePtr<IStream>& out) {
  IUnknown* opened = nullptr;
  HRESULT hr = object->OpenProperty(tag, &IID_IStream, 0, MAPI_DEFERRED_ERRORS, &opened);
  return mapi::AdoptOpened(hr, opened, out);
}

HRESULT ReadStreamText(IStream* stream, std::string& text) {
  MapiStreamSource source(stream);
  char block[kReadBlock];
  for (;;) {
    const std::size_t got = source.Read(block, kReadBlock);
    if (got == 0) return source.status();
    text.append(block, got);
  }
}

HRESULT ReadPropertyText(IMAPIProp* object, ULONG tag, std::string& text) {
  mapi::InterfacePtr<IStream> stream;
  if (FAILED(OpenPropertyStream(object, tag, stream))) return S_OK;
  return ReadStreamText(stream.get(), text);
}

std::size_t MapiStreamSource::Read(char* buffer, std::size_t size) {
  std::size_t total = 0;
  while (!ended_ && total < size) {
    const ULONG want =
        static_cast<ULONG>(std::min<std::size_t>(size - total, std::numeric_limits<ULONG>::max()));
    ULONG got = 0;
    const HRESULT hr = stream_->Read(buffer + total, want, &got);
    if (FAILED(hr)) {
      status_ = hr;
      ended_ = true;
      break;
    }
    got = std::min(got, want);
    if (got == 0) ended_ = true;
    total += got;
  }
  return total;
}

}  // namespace compose
