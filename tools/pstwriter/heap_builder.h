// A heap-on-node being filled: allocations of up to 3,580 bytes placed on pages of one data block
// each, addressed by HIDs. Serialize gives the pages with their headers and page maps.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tools/pstwriter/byte_writer.h"

namespace pstwriter {

using Hid = std::uint32_t;

// bClientSig of the heap header.
enum class HeapClient : std::uint8_t {
  kTableContext = 0x7C,
  kBTreeOnHeap = 0xB5,
  kPropertyContext = 0xBC,
};

class HeapBuilder {
 public:
  // page_capacity: the largest data block; block_shift: where a HID's block index starts.
  HeapBuilder(HeapClient client, std::size_t page_capacity, unsigned block_shift = 16);

  // Copies data into the heap; throws WriteError when it is larger than one allocation may be.
  Hid Allocate(std::span<const std::byte> data);
  void set_user_root(Hid hid) { user_root_ = hid; }

  std::size_t page_count() const { return pages_.size(); }
  // The heap's pages, each the payload of one data block.
  std::vector<Bytes> Serialize() const;

 private:
  struct Page {
    Bytes data;                       // allocations back to back
    std::vector<std::uint16_t> ends;  // end offset (within data) of each allocation
  };
  static std::size_t HeaderSize(std::size_t page_index);
  bool Fits(const Page& page, std::size_t index, std::size_t size) const;
  Bytes SerializePage(std::size_t index) const;

  HeapClient client_;
  std::size_t capacity_;
  unsigned block_shift_;
  Hid user_root_ = 0;
  std::vector<Page> pages_;
};

}  // namespace pstwriter
