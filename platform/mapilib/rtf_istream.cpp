// Decompressing RTF stream.
#include "platform/mapilib/rtf_istream.h"

#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "platform/mapilib/pull_stream.h"
#include "platform/mapilib/value_istream.h"
#include "platform/os/debug_output.h"
#include "platform/pst/rtf/rtf_decompressor.h"

namespace mapilib {
namespace {

constexpr ULONG kChunk = 16 * 1024;

void TraceCrcMismatch() {
  os::CurrentDebugOutput().Write("WrapCompressedRTFStream: CRC mismatch, data used");
}

class RtfStream final : public PullStream {
 public:
  explicit RtfStream(IStream* source) : source_(source) { source_->AddRef(); }
  ~RtfStream() override { source_->Release(); }

  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) noexcept override {
    return Guarded("RtfStream::Stat", [&]() -> HRESULT {
      if (!stat) return STG_E_INVALIDPOINTER;
      *stat = STATSTG{};
      stat->type = 2;  // STGTY_STREAM
      stat->cbSize.QuadPart = decompressor_.header_complete() ? decompressor_.header().raw_size : 0;
      return S_OK;
    });
  }

 private:
  // Reads one chunk of the source and decompresses it; at the source's end checks the whole.
  HRESULT Produce(std::string& out, bool& ended) override {
    ULONG got = 0;
    const HRESULT hr = source_->Read(chunk_.get(), kChunk, &got);
    if (FAILED(hr)) return hr;
    if (got == 0) {
      ended = true;
      if (!decompressor_.Finish().ok()) {
        if (!WholeDespiteRawSize()) return MAPI_E_CORRUPT_DATA;
        os::CurrentDebugOutput().Write(
            "WrapCompressedRTFStream: stored RTF shorter than its RAWSIZE, whole by COMPSIZE; "
            "used");
      }
      if (decompressor_.crc_mismatch()) TraceCrcMismatch();
      return S_OK;
    }
    if (!decompressor_.Feed(std::span<const std::byte>(chunk_.get(), got), out).ok()) {
      return MAPI_E_CORRUPT_DATA;
    }
    return S_OK;
  }

  // Some writers record COMPSIZE in RAWSIZE for the uncompressed form: every byte COMPSIZE promises
  // arrived, so the text is whole and only RAWSIZE overstates it.
  bool WholeDespiteRawSize() const {
    const auto& header = decompressor_.header();
    return decompressor_.header_complete() && !header.compressed() &&
           header.comp_size >= pst::rtf::CompressedRtfHeader::kSizeFieldsAfterCompSize &&
           decompressor_.produced() == header.content_size();
  }

  IStream* source_;
  pst::rtf::RtfDecompressor decompressor_;
  // Reused for every read and never zero-filled: only the bytes a read returns are fed on.
  std::unique_ptr<std::byte[]> chunk_ = std::make_unique_for_overwrite<std::byte[]>(kChunk);
};

// The RTF the message decompressed already, handed out as RtfStream hands out what it decompresses:
// the size known once reading began, the CRC mismatch traced when a read reaches past the end.
class DecompressedRtfStream final : public PullStream {
 public:
  explicit DecompressedRtfStream(std::shared_ptr<const DecompressedRtfCopy> rtf)
      : rtf_(std::move(rtf)) {}

  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) noexcept override {
    return Guarded("DecompressedRtfStream::Stat", [&]() -> HRESULT {
      if (!stat) return STG_E_INVALIDPOINTER;
      *stat = STATSTG{};
      stat->type = 2;  // STGTY_STREAM
      stat->cbSize.QuadPart = started_ ? rtf_->raw_size : 0;
      return S_OK;
    });
  }

 private:
  HRESULT Produce(std::string& out, bool& ended) override {
    started_ = true;
    const std::string_view rest = std::string_view(rtf_->rtf).substr(position_);
    if (rest.empty()) {
      ended = true;
      if (rtf_->crc_mismatch) TraceCrcMismatch();
      return S_OK;
    }
    const std::string_view piece = rest.substr(0, kChunk);
    out += piece;
    position_ += piece.size();
    return S_OK;
  }

  std::shared_ptr<const DecompressedRtfCopy> rtf_;
  std::size_t position_ = 0;
  bool started_ = false;
};

}  // namespace

IStream* NewRtfStream(IStream* compressed) {
  // A stream this library opened over a value its message has decompressed already.
  if (const auto* value = dynamic_cast<const ValueIStream*>(compressed)) {
    if (auto rtf = value->DecompressedIfUnread()) {
      return new (std::nothrow) DecompressedRtfStream(std::move(rtf));
    }
  }
  return new (std::nothrow) RtfStream(compressed);
}

}  // namespace mapilib
