// Where things go in the file: an append-only allocator that keeps the allocation-map pages (AMap,
// PMap, FMap, FPMap) at their fixed places and remembers which 64-byte slots are in use, so that
// the maps can be written when the file is complete.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace pstwriter {

class FileSpace {
 public:
  static constexpr std::uint64_t kDListOffset = 0x4200;
  static constexpr std::uint64_t kFirstAMap = 0x4400;
  static constexpr std::uint64_t kSlotSize = 64;
  static constexpr std::size_t kAMapBytes = 496;
  static constexpr std::uint64_t kIntervalSize = kAMapBytes * 8 * kSlotSize;  // 253,952

  explicit FileSpace(std::uint64_t max_file_size) : max_file_size_(max_file_size) { Open(0); }

  // Reserves size bytes at a multiple of alignment, wholly inside one AMap interval. Throws
  // WriteError when the file would outgrow what its variant can address.
  std::uint64_t Allocate(std::uint64_t size, std::uint64_t alignment);

  // Intervals opened so far; the file ends with the last one.
  std::size_t interval_count() const { return amap_.size() / kAMapBytes; }
  std::uint64_t file_end() const { return IntervalStart(interval_count()); }

  static std::uint64_t IntervalStart(std::size_t k) { return kFirstAMap + k * kIntervalSize; }
  static bool HasPMap(std::size_t k) { return k % 8 == 0; }
  static bool HasFMap(std::size_t k) { return k >= 128 && (k - 128) % 496 == 0; }
  static bool HasFPMap(std::size_t k) { return k >= 128 * 64 && (k - 128 * 64) % (496 * 64) == 0; }
  // Offset of the FMap or FPMap page of interval k (after the AMap and PMap).
  static std::uint64_t FreeMapPageOffset(std::size_t k) { return IntervalStart(k) + 0x400; }

  // The AMap bits of interval k (MSB of the first byte is the first slot).
  std::span<const std::uint8_t> AMapBits(std::size_t k) const {
    return {amap_.data() + k * kAMapBytes, kAMapBytes};
  }
  std::uint32_t FreeSlots(std::size_t k) const;
  std::uint32_t LongestFreeRun(std::size_t k) const;
  std::uint64_t FreeBytes() const;

 private:
  void Open(std::size_t k);
  void Mark(std::uint64_t offset, std::uint64_t size);

  std::uint64_t max_file_size_;
  std::uint64_t end_ = kFirstAMap;
  std::vector<std::uint8_t> amap_;
};

}  // namespace pstwriter
