// Size tables of the Unicode, ANSI and 4 KiB-page variants.
#include "tools/pstwriter/file_format.h"

namespace pstwriter {

const FormatTraits& TraitsFor(FileFormat format) {
  static const FormatTraits kUnicode{
      .unicode = true, .version = 23, .id_size = 8, .header_size = 564, .page_size = 512,
      .page_trailer_size = 16, .page_data_size = 496, .block_align = 64,
      .block_trailer_size = 16, .max_block_data = 8176, .bt_entries_size = 488,
      .bt_count_width = 1, .bt_meta_padding = 4, .nbt_leaf_entry_size = 32,
      .bbt_leaf_entry_size = 24, .bt_branch_entry_size = 24, .sl_entry_size = 24,
      .si_entry_size = 16, .sub_block_header = 8, .row_index_size = 4,
      .hid_block_shift = 16, .max_file_size = std::uint64_t{1} << 50, .dlist_offset = 0x4200, .first_amap = 0x4400,
      .amap_slot = 64, .legacy_maps = true, .compressed_blocks = false};
  static const FormatTraits kAnsi{
      .unicode = false, .version = 14, .id_size = 4, .header_size = 512, .page_size = 512,
      .page_trailer_size = 12, .page_data_size = 500, .block_align = 64,
      .block_trailer_size = 12, .max_block_data = 8180, .bt_entries_size = 496,
      .bt_count_width = 1, .bt_meta_padding = 0, .nbt_leaf_entry_size = 16,
      .bbt_leaf_entry_size = 12, .bt_branch_entry_size = 12, .sl_entry_size = 12,
      .si_entry_size = 8, .sub_block_header = 4, .row_index_size = 2,
      .hid_block_shift = 16, .max_file_size = std::uint64_t{0x7FFFFFFF}, .dlist_offset = 0x4200, .first_amap = 0x4400,
      .amap_slot = 64, .legacy_maps = true, .compressed_blocks = false};
  // Blocks hold up to 64 KiB, so heaps rarely need a second page; a HID's block index sits three
  // bits higher than in the other variants.
  static const FormatTraits kUnicode4k{
      .unicode = true, .version = 36, .id_size = 8, .header_size = 564, .page_size = 4096,
      .page_trailer_size = 24, .page_data_size = 4072, .block_align = 512,
      .block_trailer_size = 24, .max_block_data = 65512, .bt_entries_size = 4056,
      .bt_count_width = 2, .bt_meta_padding = 10, .nbt_leaf_entry_size = 32,
      .bbt_leaf_entry_size = 24, .bt_branch_entry_size = 24, .sl_entry_size = 24,
      .si_entry_size = 16, .sub_block_header = 8, .row_index_size = 4,
      .hid_block_shift = 19, .max_file_size = std::uint64_t{1} << 50, .dlist_offset = 0x21000, .first_amap = 0x22000,
      .amap_slot = 512, .legacy_maps = false, .compressed_blocks = true};
  switch (format) {
    case FileFormat::kUnicode: return kUnicode;
    case FileFormat::kAnsi: return kAnsi;
    case FileFormat::kUnicode4k: return kUnicode4k;
  }
  return kUnicode;
}

}  // namespace pstwriter
