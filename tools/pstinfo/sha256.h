// SHA-256 (FIPS 180-4) for the inspector's attachment digests: feed bytes in pieces, read the
// 32-byte digest or its lowercase hex form.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pstinfo {

class Sha256 {
 public:
  using Digest = std::array<std::uint8_t, 32>;

  Sha256();
  void Update(std::span<const std::byte> data);
  void Update(std::string_view text) { Update(std::as_bytes(std::span(text.data(), text.size()))); }
  // Pads, completes and returns the digest; the object must not be updated afterwards.
  Digest Finish();

 private:
  static constexpr std::size_t kBlockSize = 64;
  void Compress(const std::uint8_t* block);

  std::array<std::uint32_t, 8> state_;
  std::array<std::uint8_t, kBlockSize> buffer_{};
  std::size_t buffered_ = 0;
  std::uint64_t total_bytes_ = 0;
};

std::string ToHex(const Sha256::Digest& digest);
// The hex digest of `text` in one call.
std::string Sha256Hex(std::string_view text);

}  // namespace pstinfo
