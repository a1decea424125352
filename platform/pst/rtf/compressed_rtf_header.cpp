// Decoding of the compressed RTF header.
#include "platform/pst/rtf/compressed_rtf_header.h"

#include <string>

#include "platform/pst/util/endian.h"
#include "platform/pst/util/hex.h"

namespace pst::rtf {

Result<CompressedRtfHeader> CompressedRtfHeader::Decode(std::span<const std::byte> data) {
  if (data.size() < kSize) {
    return Status::Corrupt("compressed RTF header truncated: " + std::to_string(data.size()) +
                           " bytes");
  }
  CompressedRtfHeader h;
  h.comp_size = util::LoadLe32(data, 0);
  h.raw_size = util::LoadLe32(data, 4);
  h.comp_type = util::LoadLe32(data, 8);
  h.crc = util::LoadLe32(data, 12);
  if (h.comp_type != kCompressed && h.comp_type != kUncompressed) {
    return Status::Corrupt("compressed RTF of unknown type " + util::Hex(h.comp_type));
  }
  if (h.comp_size < kSizeFieldsAfterCompSize) {
    return Status::Corrupt("compressed RTF size " + std::to_string(h.comp_size) + " too small");
  }
  return h;
}

}  // namespace pst::rtf
