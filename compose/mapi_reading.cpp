// Property streams of the mail library, read in large blocks.
#include "compose/mapi_reading.h"

#include <algorithm>
#include <limits>
#include <memory>

namespace compose {
namespace {

constexpr ULONG kReadBlock = 64 * 1024;

}  // namespace

HRESULT OpenPropertyStream(IMAPIProp* object, ULONG tag, mapi::InterfacePtr<IStream>& out) {
  IUnknown* opened = nullptr;
  HRESULT hr = object->OpenProperty(tag, &IID_IStream, 0, MAPI_DEFERRED_ERRORS, &opened);
  return mapi::AdoptOpened(hr, opened, out);
}

HRESULT ReadStreamText(IStream* stream, std::string& text) {
  MapiStreamSource source(stream);
  // Not zero-filled: every byte handed on was read into it first.
  const auto block = std::make_unique_for_overwrite<char[]>(kReadBlock);
  for (;;) {
    const std::size_t got = source.Read(block.get(), kReadBlock);
    if (got == 0) return source.status();
    text.append(block.get(), got);
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
