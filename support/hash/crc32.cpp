// CRC-32, eight bytes per step (slicing-by-8) with the byte-wise table for the rest. Both give the
// register the byte-at-a-time rule gives: register = (register >> 8) ^ table[(register ^ b) & 0xFF].
#include "support/hash/crc32.h"

#include <array>
#include <cstddef>

namespace hash {
namespace {

constexpr std::uint32_t kPolynomial = 0xEDB88320;

// tables[0] is the byte-wise table; tables[k][i] is the register after k further zero bytes.
using SliceTables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr SliceTables MakeTables() {
  SliceTables tables{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t entry = i;
    for (int bit = 0; bit < 8; ++bit) entry = (entry & 1) ? (entry >> 1) ^ kPolynomial : entry >> 1;
    tables[0][i] = entry;
  }
  for (std::size_t k = 1; k < tables.size(); ++k) {
    for (std::size_t i = 0; i < 256; ++i) {
      const std::uint32_t previous = tables[k - 1][i];
      tables[k][i] = (previous >> 8) ^ tables[0][previous & 0xFF];
    }
  }
  return tables;
}

constexpr SliceTables kTables = MakeTables();

std::uint32_t Load32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

std::uint32_t UpdateBytes(std::uint32_t crc, const std::uint8_t* p, std::size_t size) {
  const auto& t = kTables;
  while (size >= 8) {
    const std::uint32_t low = crc ^ Load32(p);
    const std::uint32_t high = Load32(p + 4);
    crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
          t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^
          t[0][high >> 24];
    p += 8;
    size -= 8;
  }
  for (; size != 0; --size, ++p) crc = (crc >> 8) ^ t[0][(crc ^ *p) & 0xFF];
  return crc;
}

}  // namespace

std::uint32_t Crc32TableEntry(std::uint8_t index) { return kTables[0][index]; }

void THashCrc32::Update(std::span<const std::uint8_t> bytes) {
  register_ = UpdateBytes(register_, bytes.data(), bytes.size());
}

void THashCrc32::Update(std::string_view bytes) {
  register_ = UpdateBytes(register_, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                          bytes.size());
}

}  // namespace hash
