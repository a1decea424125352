// The two variants of the file the writer produces (Unicode and ANSI) and the sizes that differ
// between them: ids, trailers, page and block payloads, B-tree entry sizes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pstwriter {

enum class FileFormat {
  kUnicode,  // wVer 23: 64-bit ids and offsets
  kAnsi,     // wVer 14: 32-bit ids and offsets, files up to 2 GiB
};

struct FormatTraits {
  bool unicode;
  std::uint16_t version;             // wVer
  std::size_t id_size;               // BID, IB and NID fields in B-tree entries: 8 or 4
  std::size_t header_size;           // HEADER
  std::size_t page_trailer_size;     // PAGETRAILER
  std::size_t page_data_size;        // bytes of a 512-byte page before its trailer
  std::size_t block_trailer_size;    // BLOCKTRAILER
  std::size_t max_block_data;        // largest data block payload (8 KiB block less its trailer)
  std::size_t bt_entries_size;       // rgentries of a BTPAGE
  std::size_t nbt_leaf_entry_size;   // NBTENTRY
  std::size_t bbt_leaf_entry_size;   // BBTENTRY
  std::size_t bt_branch_entry_size;  // BTENTRY
  std::size_t sl_entry_size;         // SLENTRY
  std::size_t si_entry_size;         // SIENTRY
  std::size_t sub_block_header;      // SLBLOCK/SIBLOCK header (with padding on Unicode)
  std::size_t row_index_size;        // TCROWID.dwRowIndex
  std::uint64_t max_file_size;       // what the offsets of the variant can address
};

const FormatTraits& TraitsFor(FileFormat format);

constexpr std::size_t kPageSize = 512;
constexpr std::size_t kBlockAlign = 64;
constexpr std::size_t kMaxBlockSize = 8192;
constexpr std::size_t kMaxHeapAllocation = 3580;

}  // namespace pstwriter
