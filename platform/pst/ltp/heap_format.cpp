// Decoders of the heap-on-node records.
#include "platform/pst/ltp/heap_format.h"

#include <string>

namespace pst::ltp {

Result<HnHeader> HnHeader::Decode(Bytes block) {
  if (block.size() < kSize) {
    return Status::Corrupt("heap: first block of " + std::to_string(block.size()) +
                           " bytes is shorter than the heap header");
  }
  HnHeader h;
  h.page_map_offset = LoadU16(block, 0);
  if (LoadU8(block, 2) != kHeapSignature) {
    return Status::Corrupt("heap: bad signature in the heap header");
  }
  h.client_signature = LoadU8(block, 3);
  h.user_root = HeapId{LoadU32(block, 4)};
  return h;
}

Result<HnPageHeader> HnPageHeader::Decode(Bytes block) {
  if (block.size() < kSize) return Status::Corrupt("heap: block shorter than its page header");
  return HnPageHeader{LoadU16(block, 0)};
}

Result<HnBitmapHeader> HnBitmapHeader::Decode(Bytes block) {
  if (block.size() < kSize) return Status::Corrupt("heap: block shorter than its bitmap header");
  return HnBitmapHeader{LoadU16(block, 0)};
}

std::size_t HeapBlockHeaderSize(std::size_t index) {
  if (index == 0) return HnHeader::kSize;
  return IsBitmapBlock(index) ? HnBitmapHeader::kSize : HnPageHeader::kSize;
}

Result<HnPageMap> HnPageMap::Decode(Bytes block, std::size_t header_size,
                                    std::uint16_t page_map_offset) {
  if (!InBounds(block.size(), page_map_offset, kFixedSize) || page_map_offset < header_size) {
    return Status::Corrupt("heap: page map offset " + std::to_string(page_map_offset) +
                           " outside its block of " + std::to_string(block.size()) + " bytes");
  }
  const std::size_t count = LoadU16(block, page_map_offset);
  const std::size_t table = page_map_offset + kFixedSize;
  if (!InBounds(block.size(), table, (count + 1) * 2)) {
    return Status::Corrupt("heap: page map with " + std::to_string(count) +
                           " allocations runs past its block");
  }
  HnPageMap map;
  map.offsets.reserve(count + 1);
  std::uint16_t previous = static_cast<std::uint16_t>(header_size);
  for (std::size_t i = 0; i <= count; ++i) {
    const std::uint16_t offset = LoadU16(block, table + 2 * i);
    if (offset < previous || offset > page_map_offset) {
      return Status::Corrupt("heap: page map entry " + std::to_string(i) + " at offset " +
                             std::to_string(offset) + " is out of order or overlaps the map");
    }
    map.offsets.push_back(offset);
    previous = offset;
  }
  return map;
}

}  // namespace pst::ltp
