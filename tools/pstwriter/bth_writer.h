// A B-tree-on-heap: sorted fixed-size records stored in heap allocations, with index levels
// above them when one allocation does not hold them all.
#pragma once

#include <cstdint>
#include <span>

#include "tools/pstwriter/heap_builder.h"

namespace pstwriter {

// records holds count records of key_size + entry_size bytes, sorted by key (little-endian).
// Returns the HID of the BTHHEADER.
Hid WriteBTreeOnHeap(HeapBuilder& heap, std::uint8_t key_size, std::uint8_t entry_size,
                     std::span<const std::byte> records);

}  // namespace pstwriter
