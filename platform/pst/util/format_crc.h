// The file format's own checksums, shared by the node database, compressed RTF and the password
// check: the CRC-32 variant that guards pages, blocks, the header, RTF data and the password
// (reflected polynomial 0xEDB88320, caller-chosen seed, no final inversion), folded eight bytes at a
// time, and the 16-bit signature that ties a page or block to its position and id. Header-only so
// that every reader layer can use it without linking another.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <cstring>

namespace pst {

namespace crc_detail {

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

inline constexpr CrcTables kTables = MakeTables();

// Little-endian 32-bit load; memcpy lets the compiler use one unaligned load.
inline std::uint32_t Load32(const std::byte* p) {
  std::uint32_t v;
  std::memcpy(&v, p, sizeof(v));
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
  return v;
}

}  // namespace crc_detail

// CRC of data continuing from seed (0 starts a new CRC). Equals the format's ComputeCRC.
inline std::uint32_t ComputeCrc(std::uint32_t seed, std::span<const std::byte> data) {
  using namespace crc_detail;
  std::uint32_t crc = seed;
  std::size_t i = 0;
  const std::size_t n = data.size();
  const std::byte* p = data.data();
  for (; i + 8 <= n; i += 8) {
    const std::uint32_t lo = crc ^ Load32(p + i);
    const std::uint32_t hi = Load32(p + i + 4);
    crc = kTables[7][lo & 0xFF] ^ kTables[6][(lo >> 8) & 0xFF] ^ kTables[5][(lo >> 16) & 0xFF] ^
          kTables[4][lo >> 24] ^ kTables[3][hi & 0xFF] ^ kTables[2][(hi >> 8) & 0xFF] ^
          kTables[1][(hi >> 16) & 0xFF] ^ kTables[0][hi >> 24];
  }
  for (; i < n; ++i) crc = kTables[0][(crc ^ static_cast<std::uint32_t>(p[i])) & 0xFF] ^ (crc >> 8);
  return crc;
}

// The wSig of a page or block trailer: (ib ^ bid) folded to 16 bits. Equals the format's ComputeSig.
inline std::uint16_t ComputeSig(std::uint64_t ib, std::uint64_t bid) {
  std::uint32_t x = static_cast<std::uint32_t>(ib ^ bid);
  return static_cast<std::uint16_t>((x >> 16) ^ (x & 0xFFFFu));
}

}  // namespace pst
