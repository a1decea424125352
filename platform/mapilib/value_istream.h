// A read-only IStream over one property value: bytes in memory or a value kept in the file, read by
// range so that large bodies and attachments stream from the file. A read that meets damaged data
// fails with MAPI_E_CORRUPT_DATA instead of ending early.
#pragma once

#include <memory>
#include <string>

#include "libs/mapi/mapi.h"
#include "platform/mapilib/derived_bodies.h"
#include "platform/mapilib/read_only_stream.h"
#include "platform/pst/ltp/value_stream.h"
#include "platform/pst/messaging/message_store.h"

namespace mapilib {

class ValueIStream final : public ReadOnlyStream {
 public:
  // `keep_alive` holds the store whose file the stream reads.
  ValueIStream(std::shared_ptr<pst::ltp::ValueStream> value,
               std::shared_ptr<const pst::messaging::MessageStore> keep_alive)
      : value_(std::move(value)), store_(std::move(keep_alive)) {}
  static ValueIStream* FromText(std::string bytes);

  HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) noexcept override;
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                 ULARGE_INTEGER* new_position) noexcept override;
  HRESULT STDMETHODCALLTYPE CopyTo(IStream* target, ULARGE_INTEGER cb, ULARGE_INTEGER* read,
                                   ULARGE_INTEGER* written) noexcept override;
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) noexcept override;
  HRESULT STDMETHODCALLTYPE Clone(IStream** out) noexcept override;

  // For a compressed-RTF value whose message already decompressed it: the RTF, handed to
  // WrapCompressedRTFStream while nothing of this stream has been read (it then decompresses from
  // the stream's position, as for any stream).
  void KeepDecompressed(std::shared_ptr<const DecompressedRtfCopy> rtf) {
    decompressed_ = std::move(rtf);
  }
  std::shared_ptr<const DecompressedRtfCopy> DecompressedIfUnread() const {
    return position_ == 0 ? decompressed_ : nullptr;
  }

 private:
  std::shared_ptr<pst::ltp::ValueStream> value_;
  std::shared_ptr<const pst::messaging::MessageStore> store_;
  std::uint64_t position_ = 0;
  std::shared_ptr<const DecompressedRtfCopy> decompressed_;
};

}  // namespace mapilib
