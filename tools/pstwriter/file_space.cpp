// Append allocation across AMap intervals and the slot bookkeeping behind the allocation maps.
#include "tools/pstwriter/file_space.h"

#include <string>

#include "tools/pstwriter/write_error.h"

namespace pstwriter {
namespace {

std::uint64_t AlignUp(std::uint64_t v, std::uint64_t a) { return (v + a - 1) / a * a; }

}  // namespace

FileSpace::FileSpace(const FormatTraits& traits)
    : max_file_size_(traits.max_file_size),
      first_amap_(traits.first_amap),
      slot_(traits.amap_slot),
      amap_bytes_(traits.page_data_size),
      page_size_(traits.page_size),
      interval_size_(traits.page_data_size * 8 * traits.amap_slot),
      legacy_(traits.legacy_maps),
      end_(traits.first_amap) {
  Open(0);
}

std::uint64_t FileSpace::file_end() const {
  return legacy_ ? IntervalStart(interval_count()) : AlignUp(end_, page_size_);
}

void FileSpace::Open(std::size_t k) {
  if (IntervalStart(k + 1) > max_file_size_) {
    throw WriteError("the file would grow beyond the " + std::to_string(max_file_size_) +
                     " bytes its format can address");
  }
  amap_.resize((k + 1) * amap_bytes_, 0);
  std::uint64_t reserved = page_size_;  // the AMap page itself
  if (HasPMap(k)) reserved += page_size_;
  if (HasFMap(k) || HasFPMap(k)) reserved += page_size_;
  Mark(IntervalStart(k), reserved);
  end_ = IntervalStart(k) + reserved;
}

void FileSpace::Mark(std::uint64_t offset, std::uint64_t size) {
  std::uint64_t first = (offset - first_amap_) / slot_;
  std::uint64_t last = (offset + size - first_amap_ + slot_ - 1) / slot_;
  for (std::uint64_t s = first; s < last; ++s) amap_[s / 8] |= std::uint8_t(0x80u >> (s % 8));
}

std::uint64_t FileSpace::Allocate(std::uint64_t size, std::uint64_t alignment) {
  std::uint64_t pos = AlignUp(end_, alignment);
  std::size_t k = interval_count() - 1;
  if (pos + size > IntervalStart(k + 1)) {
    Open(k + 1);
    pos = AlignUp(end_, alignment);
  }
  Mark(pos, size);
  end_ = pos + AlignUp(size, slot_);
  return pos;
}

std::uint32_t FileSpace::FreeSlots(std::size_t k) const {
  std::uint32_t used = 0;
  for (std::uint8_t b : AMapBits(k)) used += std::uint32_t(__builtin_popcount(b));
  return std::uint32_t(amap_bytes_ * 8) - used;
}

std::uint32_t FileSpace::LongestFreeRun(std::size_t k) const {
  std::uint32_t best = 0, run = 0;
  auto bits = AMapBits(k);
  for (std::size_t s = 0; s < amap_bytes_ * 8; ++s) {
    bool used = bits[s / 8] & (0x80u >> (s % 8));
    run = used ? 0 : run + 1;
    if (run > best) best = run;
  }
  return best;
}

std::uint64_t FileSpace::FreeBytes() const {
  std::uint64_t free = 0;
  for (std::size_t k = 0; k < interval_count(); ++k) free += FreeSlots(k) * slot_;
  return free;
}

}  // namespace pstwriter
