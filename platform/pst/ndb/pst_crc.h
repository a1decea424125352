// The file format's own checksums: the CRC-32 variant that guards pages, blocks, the header and
// the password (reflected polynomial 0xEDB88320, caller-chosen seed, no final inversion), and the
// 16-bit signature that ties a page or block to its position and id.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace pst {

// CRC of data continuing from seed (0 starts a new CRC). Equals the format's ComputeCRC.
std::uint32_t ComputeCrc(std::uint32_t seed, std::span<const std::byte> data);

// The wSig of a page or block trailer: (ib ^ bid) folded to 16 bits. Equals the format's ComputeSig.
std::uint16_t ComputeSig(std::uint64_t ib, std::uint64_t bid);

}  // namespace pst
