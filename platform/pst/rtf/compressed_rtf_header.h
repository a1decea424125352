// The 16-byte header in front of compressed RTF (the PR_RTF_COMPRESSED value): sizes, the form of
// the data (LZ77 "LZFu" or stored "MELA") and the CRC of the compressed contents.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/pst/result.h"

namespace pst::rtf {

struct CompressedRtfHeader {
  static constexpr std::size_t kSize = 16;
  static constexpr std::uint32_t kCompressed = 0x75465A4C;    // COMPTYPE "LZFu"
  static constexpr std::uint32_t kUncompressed = 0x414C454D;  // COMPTYPE "MELA"
  // COMPSIZE counts the contents plus the 12 header bytes that follow COMPSIZE itself.
  static constexpr std::uint32_t kSizeFieldsAfterCompSize = 12;

  std::uint32_t comp_size = 0;  // COMPSIZE
  std::uint32_t raw_size = 0;   // RAWSIZE: bytes of RTF the contents decode to
  std::uint32_t comp_type = 0;  // COMPTYPE
  std::uint32_t crc = 0;        // CRC of the contents (LZFu), zero for MELA

  bool compressed() const { return comp_type == kCompressed; }
  // Bytes of contents after the header, as COMPSIZE records them.
  std::uint32_t content_size() const { return comp_size - kSizeFieldsAfterCompSize; }

  // kCorrupt for a short header, an unknown COMPTYPE or a COMPSIZE below 12.
  static Result<CompressedRtfHeader> Decode(std::span<const std::byte> data);
};

}  // namespace pst::rtf
