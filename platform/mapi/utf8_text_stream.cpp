// UTF-16 to UTF-8 while reading.
#include "platform/mapi/utf8_text_stream.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/mapi/pull_stream.h"
#include "platform/pst/ltp/codepage_text.h"

namespace mapilib {
namespace {

constexpr std::size_t kChunk = 64 * 1024;  // even: whole UTF-16 units

class Utf8TextStream final : public PullStream {
 public:
  Utf8TextStream(std::shared_ptr<pst::ltp::ValueStream> utf16,
                 std::shared_ptr<const pst::messaging::MessageStore> store)
      : source_(std::move(utf16)), store_(std::move(store)) {}

  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
    if (!stat) return STG_E_INVALIDPOINTER;
    *stat = STATSTG{};
    stat->type = 2;  // STGTY_STREAM; the UTF-8 length is known only once read
    return S_OK;
  }

 private:
  // Converts the next chunk; a high surrogate at its end waits for the chunk that completes it.
  HRESULT Produce(std::string& out, bool& ended) override {
    std::vector<std::byte> chunk(carry_.begin(), carry_.end());
    carry_.clear();
    const std::size_t kept = chunk.size();
    chunk.resize(kept + kChunk);
    auto got = source_->ReadAt(position_, std::span<std::byte>(chunk.data() + kept, kChunk));
    if (!got) return MAPI_E_CORRUPT_DATA;
    position_ += *got;
    chunk.resize(kept + *got);
    if (*got == 0) ended = true;
    if (!ended && chunk.size() >= 2) {
      const auto high = static_cast<unsigned>(chunk[chunk.size() - 1]);
      if (chunk.size() % 2 == 0 && high >= 0xD8 && high <= 0xDB) {
        carry_.assign(chunk.end() - 2, chunk.end());
        chunk.resize(chunk.size() - 2);
      } else if (chunk.size() % 2 == 1) {
        carry_.assign(chunk.end() - 1, chunk.end());
        chunk.resize(chunk.size() - 1);
      }
    }
    // The text ends at its terminator: a stored NUL and what follows it are not handed out.
    std::string text = pst::ltp::Utf16LeToUtf8(chunk);
    if (const std::size_t nul = text.find('\0'); nul != std::string::npos) {
      text.resize(nul);
      ended = true;
    }
    out += text;
    return S_OK;
  }

  std::shared_ptr<pst::ltp::ValueStream> source_;
  std::shared_ptr<const pst::messaging::MessageStore> store_;
  std::uint64_t position_ = 0;
  std::vector<std::byte> carry_;
};

}  // namespace

IStream* NewUtf8TextStream(std::shared_ptr<pst::ltp::ValueStream> utf16,
                           std::shared_ptr<const pst::messaging::MessageStore> keep_alive) {
  return new (std::nothrow) Utf8TextStream(std::move(utf16), std::move(keep_alive));
}

}  // namespace mapilib
