// The on-disk records of a heap-on-node: the header of the first block (HNHDR), the headers of the
// other blocks (HNPAGEHDR, HNBITMAPHDR) and the page map (HNPAGEMAP) that locates allocations.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/pst/ltp/heap_id.h"
#include "platform/pst/ltp/le_bytes.h"
#include "platform/pst/result.h"

namespace pst::ltp {

inline constexpr std::uint8_t kHeapSignature = 0xEC;  // HNHDR.bSig

// HNHDR.bClientSig: what the heap holds.
enum class HeapClient : std::uint8_t {
  kTableContext = 0x7C,     // bTypeTC
  kBTreeOnHeap = 0xB5,      // bTypeBTH
  kPropertyContext = 0xBC,  // bTypePC
};

// HNHDR: 2-byte page map offset, signature, client signature, 4-byte user root HID, 4 fill levels.
struct HnHeader {
  static constexpr std::size_t kSize = 12;

  std::uint16_t page_map_offset = 0;  // ibHnpm
  std::uint8_t client_signature = 0;  // bClientSig
  HeapId user_root;                   // hidUserRoot

  static Result<HnHeader> Decode(Bytes block);
};

// HNPAGEHDR: the header of an ordinary non-first block, just the page map offset.
struct HnPageHeader {
  static constexpr std::size_t kSize = 2;
  std::uint16_t page_map_offset = 0;
  static Result<HnPageHeader> Decode(Bytes block);
};

// HNBITMAPHDR: the header of block 8 and every 128th block after it: page map offset and 64 bytes
// of fill levels.
struct HnBitmapHeader {
  static constexpr std::size_t kSize = 66;
  std::uint16_t page_map_offset = 0;
  static Result<HnBitmapHeader> Decode(Bytes block);
};

// Whether block `index` of a heap starts with an HNBITMAPHDR (8, 136, 264, ...).
inline bool IsBitmapBlock(std::size_t index) { return index >= 8 && (index - 8) % 128 == 0; }

// Size of the header that starts block `index` of a heap.
std::size_t HeapBlockHeaderSize(std::size_t index);

// HNPAGEMAP: allocation count, free count, then cAlloc + 1 offsets; allocation i spans
// [offsets[i], offsets[i + 1]). Decoding checks that allocations lie between the block header and
// the page map, in ascending order.
struct HnPageMap {
  static constexpr std::size_t kFixedSize = 4;  // cAlloc + cFree
  std::vector<std::uint16_t> offsets;

  std::size_t allocation_count() const { return offsets.empty() ? 0 : offsets.size() - 1; }

  // Decodes the page map of a block whose header (of header_size bytes) gives page_map_offset.
  static Result<HnPageMap> Decode(Bytes block, std::size_t header_size,
                                  std::uint16_t page_map_offset);
};

}  // namespace pst::ltp
