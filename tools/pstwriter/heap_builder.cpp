// Heap pages: HNHDR, HNPAGEHDR or HNBITMAPHDR, the allocations, and the HNPAGEMAP.
#include "tools/pstwriter/heap_builder.h"

#include <string>

#include "tools/pstwriter/file_format.h"
#include "tools/pstwriter/write_error.h"

namespace pstwriter {
namespace {

constexpr std::uint8_t kHeapSignature = 0xEC;
// hidIndex has 11 bits (14 with 4 KiB pages); 2047 keeps the ids of a one-page heap the same
// under either reading.
constexpr std::size_t kMaxAllocationsPerPage = 2047;
constexpr std::size_t kFirstHeaderSize = 12;   // HNHDR
constexpr std::size_t kPageHeaderSize = 2;     // HNPAGEHDR
constexpr std::size_t kBitmapHeaderSize = 66;  // HNBITMAPHDR

bool IsBitmapPage(std::size_t index) { return index % 128 == 8; }

// rgbFillLevel value for the free bytes of a page.
std::uint8_t FillLevel(std::size_t free) {
  static const std::size_t kLimits[] = {3584, 2560, 2048, 1792, 1536, 1280, 1024, 768,
                                        512,  256,  128,  64,   32,   16,   8};
  std::uint8_t level = 0;
  for (std::size_t limit : kLimits) {
    if (free >= limit) return level;
    ++level;
  }
  return 15;
}

}  // namespace

HeapBuilder::HeapBuilder(HeapClient client, std::size_t page_capacity, unsigned block_shift)
    : client_(client), capacity_(page_capacity), block_shift_(block_shift) {
  pages_.emplace_back();
}

std::size_t HeapBuilder::HeaderSize(std::size_t page_index) {
  if (page_index == 0) return kFirstHeaderSize;
  return IsBitmapPage(page_index) ? kBitmapHeaderSize : kPageHeaderSize;
}

bool HeapBuilder::Fits(const Page& page, std::size_t index, std::size_t size) const {
  if (page.ends.size() >= kMaxAllocationsPerPage) return false;
  std::size_t used = HeaderSize(index) + page.data.size() + size;
  used += used % 2;                        // page map is 2-byte aligned
  used += 4 + 2 * (page.ends.size() + 2);  // cAlloc, cFree, rgibAlloc
  return used <= capacity_;
}

Hid HeapBuilder::Allocate(std::span<const std::byte> data) {
  if (data.size() > kMaxHeapAllocation) {
    throw WriteError("internal: heap allocation of " + std::to_string(data.size()) + " bytes");
  }
  if (!Fits(pages_.back(), pages_.size() - 1, data.size())) {
    if (pages_.size() == (std::size_t{1} << (32 - block_shift_))) {
      throw WriteError("heap grew beyond the pages a heap id can name");
    }
    pages_.emplace_back();
  }
  Page& page = pages_.back();
  page.data.insert(page.data.end(), data.begin(), data.end());
  page.ends.push_back(std::uint16_t(page.data.size()));
  std::uint32_t index = std::uint32_t(page.ends.size());
  return (index << 5) | (std::uint32_t(pages_.size() - 1) << block_shift_);
}

Bytes HeapBuilder::SerializePage(std::size_t index) const {
  const Page& page = pages_[index];
  const std::size_t header = HeaderSize(index);
  std::size_t map_offset = header + page.data.size();
  map_offset += map_offset % 2;
  Bytes out;
  ByteWriter w(out);
  w.U16(std::uint16_t(map_offset));  // ibHnpm
  if (index == 0) {
    w.U8(kHeapSignature);
    w.U8(std::uint8_t(client_));
    w.U32(user_root_);
    for (std::size_t i = 0; i < 8; i += 2) {
      auto level = [&](std::size_t p) -> std::uint8_t {
        if (p >= pages_.size()) return 0;
        return FillLevel(capacity_ - HeaderSize(p) - pages_[p].data.size());
      };
      w.U8(std::uint8_t(level(i) | (level(i + 1) << 4)));
    }
  } else if (IsBitmapPage(index)) {
    for (std::size_t i = 0; i < 128; i += 2) {
      auto level = [&](std::size_t p) -> std::uint8_t {
        if (p >= pages_.size()) return 0;
        return FillLevel(capacity_ - HeaderSize(p) - pages_[p].data.size());
      };
      w.U8(std::uint8_t(level(index + i) | (level(index + i + 1) << 4)));
    }
  }
  w.Put(page.data);
  if (out.size() < map_offset) w.U8(0);
  w.U16(std::uint16_t(page.ends.size()));  // cAlloc
  w.U16(0);                                // cFree
  w.U16(std::uint16_t(header));
  for (std::uint16_t end : page.ends) w.U16(std::uint16_t(header + end));
  return out;
}

std::vector<Bytes> HeapBuilder::Serialize() const {
  std::vector<Bytes> out;
  out.reserve(pages_.size());
  for (std::size_t i = 0; i < pages_.size(); ++i) out.push_back(SerializePage(i));
  return out;
}

}  // namespace pstwriter
