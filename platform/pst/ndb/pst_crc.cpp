// CRC and signature routines of the file format, table-driven eight bytes at a time because every
// page and block read passes through them.
#include "platform/pst/ndb/pst_crc.h"

#include <array>

namespace pst {
namespace {

using CrcTables = std::array<std::array<std::uint32_t, 256>, 8>;

// tables[0] is the classic byte table; tables[k][b] advances tables[0][b] by k further zero bytes,
// which lets the loop fold eight input bytes per step.
constexpr CrcTables MakeTables() {
  CrcTables t{};
  for (std::uint32_t b = 0; b < 256; ++b) {
    std::uint32_t c = b;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1u) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    t[0][b] = c;
  }
  for (std::size_t k = 1; k < 8; ++k) {
    for (std::size_t b = 0; b < 256; ++b) {
      std::uint32_t prev = t[k - 1][b];
      t[k][b] = (prev >> 8) ^ t[0][prev & 0xFFu];
    }
  }
  return t;
}

constexpr CrcTables kTables = MakeTables();

std::uint32_t Byte(std::span<const std::byte> data, std::size_t i) {
  return static_cast<std::uint32_t>(data[i]);
}

}  // namespace

std::uint32_t ComputeCrc(std::uint32_t seed, std::span<const std::byte> data) {
  std::uint32_t crc = seed;
  std::size_t i = 0;
  const std::size_t n = data.size();
  for (; i + 8 <= n; i += 8) {
    std::uint32_t lo = crc ^ (Byte(data, i) | Byte(data, i + 1) << 8 | Byte(data, i + 2) << 16 |
                              Byte(data, i + 3) << 24);
    std::uint32_t hi = Byte(data, i + 4) | Byte(data, i + 5) << 8 | Byte(data, i + 6) << 16 |
                       Byte(data, i + 7) << 24;
    crc = kTables[7][lo & 0xFF] ^ kTables[6][(lo >> 8) & 0xFF] ^ kTables[5][(lo >> 16) & 0xFF] ^
          kTables[4][lo >> 24] ^ kTables[3][hi & 0xFF] ^ kTables[2][(hi >> 8) & 0xFF] ^
          kTables[1][(hi >> 16) & 0xFF] ^ kTables[0][hi >> 24];
  }
  for (; i < n; ++i) crc = kTables[0][(crc ^ Byte(data, i)) & 0xFF] ^ (crc >> 8);
  return crc;
}

std::uint16_t ComputeSig(std::uint64_t ib, std::uint64_t bid) {
  std::uint32_t x = static_cast<std::uint32_t>(ib ^ bid);
  return static_cast<std::uint16_t>((x >> 16) ^ (x & 0xFFFFu));
}

}  // namespace pst
