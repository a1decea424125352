// Where things go in the file: an append-only allocator that keeps the allocation-map pages (AMap,
// and in 512-byte-page files PMap, FMap, FPMap) at their fixed places and remembers which slots
// are in use, so that the maps can be written when the file is complete.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "tools/pstwriter/file_format.h"

namespace pstwriter {

class FileSpace {
 public:
  explicit FileSpace(const FormatTraits& traits);

  // Reserves size bytes at a multiple of alignment, wholly inside one AMap interval. Throws
  // WriteError when the file would outgrow what its variant can address.
  std::uint64_t Allocate(std::uint64_t size, std::uint64_t alignment);

  // Intervals opened so far.
  std::size_t interval_count() const { return amap_.size() / amap_bytes_; }
  // Where the file ends: with its last interval (512-byte pages), or after its last page
  // (4 KiB pages, whose intervals span 16 MB).
  std::uint64_t file_end() const;

  std::uint64_t interval_size() const { return interval_size_; }
  std::uint64_t IntervalStart(std::size_t k) const { return first_amap_ + k * interval_size_; }
  bool HasPMap(std::size_t k) const { return legacy_ && k % 8 == 0; }
  bool HasFMap(std::size_t k) const { return legacy_ && k >= 128 && (k - 128) % 496 == 0; }
  bool HasFPMap(std::size_t k) const {
    return legacy_ && k >= 128 * 64 && (k - 128 * 64) % (496 * 64) == 0;
  }
  // Offset of the FMap or FPMap page of interval k (after the AMap and PMap).
  std::uint64_t FreeMapPageOffset(std::size_t k) const { return IntervalStart(k) + 2 * page_size_; }

  // The AMap bits of interval k (MSB of the first byte is the first slot).
  std::span<const std::uint8_t> AMapBits(std::size_t k) const {
    return {amap_.data() + k * amap_bytes_, amap_bytes_};
  }
  std::uint32_t FreeSlots(std::size_t k) const;
  std::uint32_t LongestFreeRun(std::size_t k) const;
  std::uint64_t FreeBytes() const;

 private:
  void Open(std::size_t k);
  void Mark(std::uint64_t offset, std::uint64_t size);

  std::uint64_t max_file_size_;
  std::uint64_t first_amap_;
  std::uint64_t slot_;
  std::size_t amap_bytes_;
  std::uint64_t page_size_;
  std::uint64_t interval_size_;
  bool legacy_;
  std::uint64_t end_;
  std::vector<std::uint8_t> amap_;
};

}  // namespace pstwriter
