// The three variants of the file (ANSI, Unicode, Unicode with 4 KiB pages) differ only in field
// widths and sizes; this table names every one of them so that decoders never hard-code a size.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pst::ndb {

enum class FormatVariant : std::uint8_t {
  kAnsi,       // wVer 14/15: 32-bit ids and offsets, 512-byte pages
  kUnicode,    // wVer 23: 64-bit ids and offsets, 512-byte pages
  kUnicode4k,  // wVer 36: 64-bit, 4096-byte pages, blocks may be zlib-compressed
};

struct FormatLayout {
  FormatVariant variant;
  std::size_t id_size;              // BID / IB / NID-in-entry width: 4 or 8
  std::size_t page_size;            // BTPAGE size
  std::size_t page_entries_size;    // rgentries area of a BTPAGE
  std::size_t page_trailer_offset;  // PAGETRAILER position; the page CRC covers the bytes before it
  std::size_t page_trailer_size;
  std::size_t block_trailer_size;  // BLOCKTRAILER
  std::size_t block_alignment;     // blocks (data + trailer) are padded to this
  std::size_t max_block_size;      // largest block on disk, trailer included
  std::size_t btentry_size;        // BTENTRY: key + BREF
  std::size_t nbtentry_size;       // NBTENTRY
  std::size_t bbtentry_size;       // BBTENTRY
  bool compressed_blocks;          // blocks carry an inflated size and may be zlib streams

  // Largest data part of a block (max_block_size minus the trailer).
  std::size_t max_block_data() const { return max_block_size - block_trailer_size; }
  // Bytes a block of cb data bytes occupies on disk, trailer and padding included.
  std::size_t BlockExtent(std::size_t cb) const {
    std::size_t raw = cb + block_trailer_size;
    return (raw + block_alignment - 1) / block_alignment * block_alignment;
  }

  static const FormatLayout& For(FormatVariant variant);
};

// The sizes of each variant, the one table that both the reader and the writer of the format use.
inline constexpr FormatLayout kAnsiLayout{
    FormatVariant::kAnsi, 4, 512, 496, 500, 12, 12, 64, 8192, 12, 16, 12, false};
inline constexpr FormatLayout kUnicodeLayout{
    FormatVariant::kUnicode, 8, 512, 488, 496, 16, 16, 64, 8192, 24, 32, 24, false};
inline constexpr FormatLayout kUnicode4kLayout{
    FormatVariant::kUnicode4k, 8, 4096, 4056, 4072, 24, 24, 512, 65536, 24, 32, 24, true};

inline const FormatLayout& FormatLayout::For(FormatVariant variant) {
  switch (variant) {
    case FormatVariant::kAnsi:
      return kAnsiLayout;
    case FormatVariant::kUnicode:
      return kUnicodeLayout;
    case FormatVariant::kUnicode4k:
      return kUnicode4kLayout;
  }
  return kUnicodeLayout;
}

}  // namespace pst::ndb
