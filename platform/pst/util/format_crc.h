// The file format's own checksums, shared by the node database, compressed RTF and the password
// check: the CRC-32 variant that guards pages, blocks, the header, RTF data and the password
// (reflected polynomial 0xEDB88320, caller-chosen seed, no final inversion), which is the bare
// register of the common CRC-32 kernels, and the 16-bit signature that ties a page or block to its
// position and id.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "support/hash/crc32_update.h"

namespace pst::util {

// CRC of data continuing from seed (0 starts a new CRC). Equals the format's ComputeCRC.
inline std::uint32_t ComputeCrc(std::uint32_t seed, std::span<const std::byte> data) {
  return hash::AdvanceCrc32(seed, data.data(), data.size());
}

// The wSig of a page or block trailer: (ib ^ bid) folded to 16 bits. Equals the format's
// ComputeSig.
inline std::uint16_t ComputeSig(std::uint64_t ib, std::uint64_t bid) {
  std::uint32_t x = static_cast<std::uint32_t>(ib ^ bid);
  return static_cast<std::uint16_t>((x >> 16) ^ (x & 0xFFFFu));
}

}  // namespace pst::util
