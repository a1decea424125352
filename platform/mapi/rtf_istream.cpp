// Decompressing RTF stream.
#include "platform/mapi/rtf_istream.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/mapi/read_only_stream.h"
#include "platform/os/debug_output.h"
#include "platform/pst/rtf/rtf_decompressor.h"

namespace mapilib {
namespace {

constexpr ULONG kChunk = 16 * 1024;

class RtfStream final : public ReadOnlyStream {
 public:
  explicit RtfStream(IStream* source) : source_(source) { source_->AddRef(); }
  ~RtfStream() override { source_->Release(); }

  HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) override {
    if (pcbRead) *pcbRead = 0;
    if (!pv && cb) return STG_E_INVALIDPOINTER;
    while (pending_.size() - taken_ < cb && !ended_) {
      const HRESULT hr = Fill();
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
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                   ULARGE_INTEGER*) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
    if (!stat) return STG_E_INVALIDPOINTER;
    *stat = STATSTG{};
    stat->type = 2;  // STGTY_STREAM
    stat->cbSize.QuadPart = decompressor_.header_complete() ? decompressor_.header().raw_size : 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return STG_E_INVALIDFUNCTION; }

 private:
  // Reads one chunk of the source and decompresses it; at the source's end checks the whole.
  HRESULT Fill() {
    std::vector<std::byte> chunk(kChunk);
    ULONG got = 0;
    const HRESULT hr = source_->Read(chunk.data(), kChunk, &got);
    if (FAILED(hr)) return hr;
    if (got == 0) {
      ended_ = true;
      if (!decompressor_.Finish().ok()) {
        if (!WholeDespiteRawSize()) return MAPI_E_CORRUPT_DATA;
        os::CurrentDebugOutput().Write(
            "WrapCompressedRTFStream: stored RTF shorter than its RAWSIZE, whole by COMPSIZE; used");
      }
      if (decompressor_.crc_mismatch()) {
        os::CurrentDebugOutput().Write("WrapCompressedRTFStream: CRC mismatch, data used");
      }
      return S_OK;
    }
    if (!decompressor_.Feed(std::span<const std::byte>(chunk.data(), got), pending_).ok()) {
      return MAPI_E_CORRUPT_DATA;
    }
    return S_OK;
  }

  // Some writers record COMPSIZE in RAWSIZE for the uncompressed form: every byte COMPSIZE promises
  // arrived, so the text is whole and only RAWSIZE overstates it.
  bool WholeDespiteRawSize() const {
    const auto& header = decompressor_.header();
    return decompressor_.header_complete() && !header.compressed() &&
           header.comp_size >= pst::CompressedRtfHeader::kSizeFieldsAfterCompSize &&
           decompressor_.produced() == header.content_size();
  }

  IStream* source_;
  pst::RtfDecompressor decompressor_;
  std::string pending_;
  std::size_t taken_ = 0;
  bool ended_ = false;
};

}  // namespace

IStream* NewRtfStream(IStream* compressed) { return new (std::nothrow) RtfStream(compressed); }

}  // namespace mapilib
