// The three variants of the file the writer produces (Unicode, ANSI, Unicode with 4 KiB pages)
// and the sizes and places that differ between them: ids, trailers, pages, blocks, maps.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pstwriter {

enum class FileFormat {
  kUnicode,    // wVer 23: 64-bit ids and offsets, 512-byte pages
  kAnsi,       // wVer 14: 32-bit ids and offsets, files up to 2 GiB
  kUnicode4k,  // wVer 36: 4 KiB pages, 512-byte block alignment, zlib-compressed blocks
};

struct FormatTraits {
  bool unicode;
  std::uint16_t version;             // wVer
  std::size_t id_size;               // BID, IB and NID fields in B-tree entries: 8 or 4
  std::size_t header_size;           // HEADER
  std::size_t page_size;             // every page (B-tree, maps, density list)
  std::size_t page_trailer_size;     // PAGETRAILER
  std::size_t page_data_size;        // bytes of a page before its trailer
  std::size_t block_align;           // blocks (data and trailer) are padded to this
  std::size_t block_trailer_size;    // BLOCKTRAILER
  std::size_t max_block_data;        // largest (inflated) data block payload
  std::size_t bt_entries_size;       // rgentries of a BTPAGE
  std::size_t bt_count_width;        // cEnt and cEntMax: 1 or 2 bytes
  std::size_t bt_meta_padding;       // padding after cLevel
  std::size_t nbt_leaf_entry_size;   // NBTENTRY
  std::size_t bbt_leaf_entry_size;   // BBTENTRY
  std::size_t bt_branch_entry_size;  // BTENTRY
  std::size_t sl_entry_size;         // SLENTRY
  std::size_t si_entry_size;         // SIENTRY
  std::size_t sub_block_header;      // SLBLOCK/SIBLOCK header (with padding on Unicode)
  std::size_t row_index_size;        // TCROWID.dwRowIndex
  unsigned hid_block_shift;     // where a HID's block index starts (16, or 19 with 4 KiB pages)
  std::uint64_t max_file_size;  // what the offsets of the variant can address
  std::uint64_t dlist_offset;   // the density list page
  std::uint64_t first_amap;     // the first AMap page; AMaps follow at fixed intervals
  std::uint64_t amap_slot;      // bytes one AMap bit stands for
  bool legacy_maps;             // PMap, FMap and FPMap pages between the AMaps
  bool compressed_blocks;       // blocks carry an inflated size and may be zlib streams
};

const FormatTraits& TraitsFor(FileFormat format);

constexpr std::size_t kMaxHeapAllocation = 3580;

}  // namespace pstwriter
