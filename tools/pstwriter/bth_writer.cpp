// BTHHEADER, leaf and index records of a B-tree-on-heap.
#include "tools/pstwriter/bth_writer.h"

#include <algorithm>

#include "tools/pstwriter/file_format.h"

namespace pstwriter {
namespace {

constexpr std::uint8_t kBTreeOnHeapType = 0xB5;

}  // namespace

Hid WriteBTreeOnHeap(HeapBuilder& heap, std::uint8_t key_size, std::uint8_t entry_size,
                     std::span<const std::byte> records) {
  Hid root = 0;
  std::uint8_t index_levels = 0;
  std::size_t record_size = key_size + entry_size;
  Bytes level(records.begin(), records.end());
  while (!level.empty()) {
    std::size_t per_node = kMaxHeapAllocation / record_size;
    std::size_t count = level.size() / record_size;
    Bytes parents;
    ByteWriter w(parents);
    for (std::size_t first = 0; first < count; first += per_node) {
      std::size_t n = std::min(per_node, count - first);
      auto chunk = std::span<const std::byte>(level).subspan(first * record_size, n * record_size);
      Hid hid = heap.Allocate(chunk);
      w.Put(chunk.first(key_size));
      w.U32(hid);
    }
    if (count <= per_node) {
      root = std::uint32_t(parents[key_size]) | std::uint32_t(parents[key_size + 1]) << 8 |
             std::uint32_t(parents[key_size + 2]) << 16 |
             std::uint32_t(parents[key_size + 3]) << 24;
      break;
    }
    level = std::move(parents);
    record_size = key_size + 4;
    ++index_levels;
  }
  Bytes header;
  ByteWriter w(header);
  w.U8(kBTreeOnHeapType);
  w.U8(key_size);
  w.U8(entry_size);
  w.U8(index_levels);
  w.U32(root);
  return heap.Allocate(header);
}

}  // namespace pstwriter
