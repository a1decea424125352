// Little-endian serialisation into a growing byte buffer, and patching of fields already written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

namespace pstwriter {

using Bytes = std::vector<std::byte>;

class ByteWriter {
 public:
  explicit ByteWriter(Bytes& out) : out_(out) {}

  void U8(std::uint8_t v) { out_.push_back(std::byte{v}); }
  void U16(std::uint16_t v) { Uint(v, 2); }
  void U32(std::uint32_t v) { Uint(v, 4); }
  void U64(std::uint64_t v) { Uint(v, 8); }
  // An id or offset field whose width depends on the file variant (4 or 8 bytes).
  void Uint(std::uint64_t v, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) out_.push_back(std::byte(v >> (8 * i)));
  }
  void Put(std::span<const std::byte> data) { out_.insert(out_.end(), data.begin(), data.end()); }
  void Zeros(std::size_t n) { out_.insert(out_.end(), n, std::byte{0}); }
  std::size_t size() const { return out_.size(); }

 private:
  Bytes& out_;
};

// Writes v little-endian into out at offset (the field must already exist).
inline void PatchUint(std::span<std::byte> out, std::size_t offset, std::uint64_t v,
                      std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) out[offset + i] = std::byte(v >> (8 * i));
}

inline std::span<const std::byte> AsBytes(std::string_view s) {
  return std::as_bytes(std::span<const char>(s.data(), s.size()));
}

}  // namespace pstwriter
