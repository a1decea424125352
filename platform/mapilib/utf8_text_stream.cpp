// UTF-16 to UTF-8 while reading.
#include "platform/mapilib/utf8_text_stream.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>

#include "platform/mapilib/pull_stream.h"
#include "platform/pst/ltp/codepage_text.h"

namespace mapilib {
namespace {

constexpr std::size_t kChunk = 64 * 1024;  // even: whole UTF-16 units

class Utf8TextStream final : public PullStream {
 public:
  Utf8TextStream(std::shared_ptr<pst::ltp::ValueStream> utf16,
                 std::shared_ptr<const pst::messaging::MessageStore> store)
      : source_(std::move(utf16)), store_(std::move(store)) {}

  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) noexcept override {
    return Guarded("Utf8TextStream::Stat", [&]() -> HRESULT {
      if (!stat) return STG_E_INVALIDPOINTER;
      *stat = STATSTG{};
      stat->type = 2;  // STGTY_STREAM; the UTF-8 length is known only once read
      return S_OK;
    });
  }

 private:
  // Converts the next chunk; a high surrogate at its end waits for the chunk that completes it.
  HRESULT Produce(std::string& out, bool& ended) override {
    std::byte* chunk = Buffer();
    const std::size_t kept = carry_size_;
    std::memcpy(chunk, carry_.data(), kept);
    carry_size_ = 0;
    auto got = source_->ReadAt(position_, std::span<std::byte>(chunk + kept, capacity_ - kCarry));
    if (!got) return MAPI_E_CORRUPT_DATA;
    position_ += *got;
    std::size_t size = kept + *got;
    if (*got == 0) ended = true;
    if (!ended && size >= 2) {
      const auto high = static_cast<unsigned>(chunk[size - 1]);
      if (size % 2 == 0 && high >= 0xD8 && high <= 0xDB) {
        carry_size_ = 2;
      } else if (size % 2 == 1) {
        carry_size_ = 1;
      }
      size -= carry_size_;
      std::memcpy(carry_.data(), chunk + size, carry_size_);
    }
    // The text ends at its terminator: a stored NUL and what follows it are not handed out.
    std::string text = pst::ltp::Utf16LeToUtf8(std::span<const std::byte>(chunk, size));
    if (const std::size_t nul = text.find('\0'); nul != std::string::npos) {
      text.resize(nul);
      ended = true;
    }
    out += text;
    return S_OK;
  }

  // One buffer for the stream's life, no larger than the value needs and never zero-filled.
  std::byte* Buffer() {
    if (!buffer_) {
      capacity_ =
          kCarry + static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, source_->size()));
      buffer_ = std::make_unique_for_overwrite<std::byte[]>(capacity_);
    }
    return buffer_.get();
  }

  std::shared_ptr<pst::ltp::ValueStream> source_;
  std::shared_ptr<const pst::messaging::MessageStore> store_;
  std::uint64_t position_ = 0;
  static constexpr std::size_t kCarry = 2;  // an odd byte or a waiting high surrogate
  std::array<std::byte, kCarry> carry_{};
  std::size_t carry_size_ = 0;
  std::unique_ptr<std::byte[]> buffer_;
  std::size_t capacity_ = 0;
};

}  // namespace

IStream* NewUtf8TextStream(std::shared_ptr<pst::ltp::ValueStream> utf16,
                           std::shared_ptr<const pst::messaging::MessageStore> keep_alive) {
  return new (std::nothrow) Utf8TextStream(std::move(utf16), std::move(keep_alive));
}

}  // namespace mapilib
