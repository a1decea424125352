// UTF-16 to UTF-8 while reading.
#include "platform/mapi/utf8_text_stream.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/mapi/read_only_stream.h"
#include "platform/pst/ltp/codepage_text.h"

namespace mapilib {
namespace {

constexpr std::size_t kChunk = 64 * 1024;  // even: whole UTF-16 units

class Utf8TextStream final : public ReadOnlyStream {
 public:
  Utf8TextStream(std::shared_ptr<pst::ltp::ValueStream> utf16,
                 std::shared_ptr<const pst::messaging::MessageStore> store)
      : source_(std::move(utf16)), store_(std::move(store)) {}

  HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) override {
    if (pcbRead) *pcbRead = 0;
    if (!pv && cb) return STG_E_INVALIDPOINTER;
    while (pending_.size() - taken_ < cb && !ended_) {
      if (!Fill()) return MAPI_E_CORRUPT_DATA;
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
    stat->type = 2;  // STGTY_STREAM; the UTF-8 length is known only once read
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return STG_E_INVALIDFUNCTION; }

 private:
  // Converts the next chunk; a high surrogate at its end waits for the chunk that completes it.
  bool Fill() {
    std::vector<std::byte> chunk(carry_.begin(), carry_.end());
    carry_.clear();
    const std::size_t kept = chunk.size();
    chunk.resize(kept + kChunk);
    auto got = source_->ReadAt(position_, std::span<std::byte>(chunk.data() + kept, kChunk));
    if (!got) return false;
    position_ += *got;
    chunk.resize(kept + *got);
    if (*got == 0) ended_ = true;
    if (!ended_ && chunk.size() >= 2) {
      const auto high = static_cast<unsigned>(chunk[chunk.size() - 1]);
      if (chunk.size() % 2 == 0 && high >= 0xD8 && high <= 0xDB) {
        carry_.assign(chunk.end() - 2, chunk.end());
        chunk.resize(chunk.size() - 2);
      } else if (chunk.size() % 2 == 1) {
        carry_.assign(chunk.end() - 1, chunk.end());
        chunk.resize(chunk.size() - 1);
      }
    }
    pending_ += pst::ltp::Utf16LeToUtf8(chunk);
    return true;
  }

  std::shared_ptr<pst::ltp::ValueStream> source_;
  std::shared_ptr<const pst::messaging::MessageStore> store_;
  std::uint64_t position_ = 0;
  std::vector<std::byte> carry_;
  std::string pending_;
  std::size_t taken_ = 0;
  bool ended_ = false;
};

}  // namespace

IStream* NewUtf8TextStream(std::shared_ptr<pst::ltp::ValueStream> utf16,
                           std::shared_ptr<const pst::messaging::MessageStore> keep_alive) {
  return new (std::nothrow) Utf8TextStream(std::move(utf16), std::move(keep_alive));
}

}  // namespace mapilib
