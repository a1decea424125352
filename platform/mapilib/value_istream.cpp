// IStream reads over a property value.
#include "platform/mapilib/value_istream.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/mapilib/integrity_findings.h"

namespace mapilib {
namespace {

constexpr std::uint64_t kCopyBlock = 64 * 1024;

}  // namespace

ValueIStream* ValueIStream::FromText(std::string bytes) {
  const auto* first = reinterpret_cast<const std::byte*>(bytes.data());
  std::vector<std::byte> data(first, first + bytes.size());
  auto value =
      std::make_shared<pst::ltp::ValueStream>(pst::ltp::ValueStream::FromBytes(std::move(data)));
  return new (std::nothrow) ValueIStream(std::move(value), nullptr);
}

HRESULT ValueIStream::Read(void* pv, ULONG cb, ULONG* pcbRead) noexcept {
  return Guarded("ValueIStream::Read", [&]() -> HRESULT {
    if (pcbRead) *pcbRead = 0;
    if (!pv && cb) return STG_E_INVALIDPOINTER;
    ULONG done = 0;
    auto* out = static_cast<std::byte*>(pv);
    while (done < cb) {
      auto got = value_->ReadAt(position_, std::span<std::byte>(out + done, cb - done));
      if (!got) {
        if (store_) NoteLoss(*store_, "a value streamed from the file", got.status());
        return MAPI_E_CORRUPT_DATA;
      }
      if (*got == 0) break;
      done += static_cast<ULONG>(*got);
      position_ += *got;
    }
    if (pcbRead) *pcbRead = done;
    return S_OK;
  });
}

HRESULT ValueIStream::Seek(LARGE_INTEGER move, DWORD origin,
                           ULARGE_INTEGER* new_position) noexcept {
  return Guarded("ValueIStream::Seek", [&]() -> HRESULT {
    std::int64_t base = 0;
    if (origin == STREAM_SEEK_CUR)
      base = static_cast<std::int64_t>(position_);
    else if (origin == STREAM_SEEK_END)
      base = static_cast<std::int64_t>(value_->size());
    else if (origin != STREAM_SEEK_SET)
      return STG_E_INVALIDFUNCTION;
    const std::int64_t target = base + move.QuadPart;
    if (target < 0) return STG_E_INVALIDFUNCTION;
    position_ = static_cast<std::uint64_t>(target);
    if (new_position) new_position->QuadPart = position_;
    return S_OK;
  });
}

HRESULT ValueIStream::CopyTo(IStream* target, ULARGE_INTEGER cb, ULARGE_INTEGER* read,
                             ULARGE_INTEGER* written) noexcept {
  return Guarded("ValueIStream::CopyTo", [&]() -> HRESULT {
    if (!target) return STG_E_INVALIDPOINTER;
    const std::uint64_t rest = value_->size() > position_ ? value_->size() - position_ : 0;
    // Never zero-filled: only bytes a read returned are written on.
    const auto size =
        static_cast<ULONG>(std::clamp<std::uint64_t>(std::min(rest, cb.QuadPart), 1, kCopyBlock));
    const auto block = std::make_unique_for_overwrite<std::byte[]>(size);
    std::uint64_t left = cb.QuadPart, total_read = 0, total_written = 0;
    HRESULT hr = S_OK;
    while (left > 0) {
      ULONG got = 0;
      hr = Read(block.get(), static_cast<ULONG>(std::min<std::uint64_t>(left, size)), &got);
      if (FAILED(hr) || got == 0) break;
      total_read += got;
      left -= got;
      ULONG put = 0;
      hr = target->Write(block.get(), got, &put);
      total_written += put;
      if (FAILED(hr)) break;
    }
    if (read) read->QuadPart = total_read;
    if (written) written->QuadPart = total_written;
    return hr;
  });
}

HRESULT ValueIStream::Stat(STATSTG* stat, DWORD) noexcept {
  return Guarded("ValueIStream::Stat", [&]() -> HRESULT {
    if (!stat) return STG_E_INVALIDPOINTER;
    *stat = STATSTG{};
    stat->type = 2;  // STGTY_STREAM
    stat->cbSize.QuadPart = value_->size();
    return S_OK;
  });
}

HRESULT ValueIStream::Clone(IStream** out) noexcept {
  return Guarded("ValueIStream::Clone", [&]() -> HRESULT {
    if (!out) return STG_E_INVALIDPOINTER;
    auto* copy = new (std::nothrow) ValueIStream(value_, store_);
    if (!copy) return E_OUTOFMEMORY;
    copy->position_ = position_;
    *out = copy;
    return S_OK;
  });
}

}  // namespace mapilib
