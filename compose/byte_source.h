// A source of bytes read in blocks: what the composer encodes into base64 parts. The composer reads
// attachment data through it straight from the mail library's stream, so a large attachment is
// never held twice in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace compose {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Copies up to size bytes into buffer; fewer only at the end of the data, 0 at the end.
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
  // 0, or the negative code (an HRESULT) of a read that failed and ended the data early.
  virtual std::int32_t Status() const { return 0; }
};

// The bytes of a string that outlives the source.
class StringByteSource final : public ByteSource {
 public:
  explicit StringByteSource(std::string_view data) : data_(data) {}
  std::size_t Read(char* buffer, std::size_t size) override;

 private:
  std::string_view data_;
  std::size_t position_ = 0;
};

// The bytes of a string the source owns.
class OwnedStringByteSource final : public ByteSource {
 public:
  explicit OwnedStringByteSource(std::string data) : data_(std::move(data)), view_(data_) {}
  std::size_t Read(char* buffer, std::size_t size) override { return view_.Read(buffer, size); }

 private:
  std::string data_;
  StringByteSource view_;
};

}  // namespace compose
