// Property streams of the mail library, read in blocks.
#include "compose/mapi_reading.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace compose {
namespace {

// Read on the stack: a block on the heap per text was an allocation of its own for every body,
// and one of a size whose release makes the allocator sort its free lists.
constexpr std::size_t kReadBlock = 16 * 1024;

// The most room taken at once for the size a stream states: that size may come from a damaged
// file, so a larger one only starts the text off and the text grows as it is read.
constexpr std::uint64_t kLargestStatedRoom = 1 << 20;

// Room for the whole text when the stream states its size, so that a long text is not copied
// again each time it outgrows its room.
void ReserveStatedSize(IStream* stream, std::string& text) {
  STATSTG stat{};
  if (FAILED(stream->Stat(&stat, STATFLAG_NONAME))) return;
  text.reserve(static_cast<std::size_t>(std::min(stat.cbSize.QuadPart, kLargestStatedRoom)));
}

}  // namespace

HRESULT OpenPropertyStream(IMAPIProp* object, ULONG tag, mapi::InterfacePtr<IStream>& out) {
  IUnknown* opened = nullptr;
  HRESULT hr = object->OpenProperty(tag, &IID_IStream, 0, MAPI_DEFERRED_ERRORS, &opened);
  return mapi::AdoptOpened(hr, opened, out);
}

HRESULT ReadStreamText(IStream* stream, std::string& text) {
  MapiStreamSource source(stream);
  char block[kReadBlock];
  for (bool first = true;; first = false) {
    const std::size_t got = source.Read(block, kReadBlock);
    if (got == 0) return source.status();
    // Only a text longer than one block grows; the size is asked for once it is known to be.
    if (first && got == kReadBlock) ReserveStatedSize(stream, text);
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
