// CRC-32 (reflected polynomial 0xEDB88320) as the message model fingerprints messages with it.
// Two quirks are part of the stored values and must stay: Finish complements the register in
// place, and Value returns the complement of the register. Without Finish, Value is the standard
// CRC-32; after Finish it is the complement of the standard CRC-32 (the raw register).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace hash {

class THashCrc32 {
 public:
  THashCrc32() { Reset(); }

  void Reset() { register_ = 0xFFFFFFFF; }
  void Update(std::string_view bytes);
  void Update(std::span<const std::uint8_t> bytes);
  // Complements the register in place.
  void Finish() { register_ = ~register_; }
  // The complement of the register; the register stays as it is.
  std::uint32_t Value() const { return ~register_; }

 private:
  std::uint32_t register_;
};

// Entry i of the byte-wise table: i shifted right eight times, each shift followed by an
// exclusive-or with 0xEDB88320 when the bit shifted out was 1.
std::uint32_t Crc32TableEntry(std::uint8_t index);

}  // namespace hash
