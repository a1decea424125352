// Size tables of the Unicode and ANSI variants.
#include "tools/pstwriter/file_format.h"

namespace pstwriter {

const FormatTraits& TraitsFor(FileFormat format) {
  static const FormatTraits kUnicode{
      .unicode = true, .version = 23, .id_size = 8, .header_size = 564,
      .page_trailer_size = 16, .page_data_size = 496, .block_trailer_size = 16,
      .max_block_data = 8176, .bt_entries_size = 488, .nbt_leaf_entry_size = 32,
      .bbt_leaf_entry_size = 24, .bt_branch_entry_size = 24, .sl_entry_size = 24,
      .si_entry_size = 16, .sub_block_header = 8, .row_index_size = 4,
      .max_file_size = std::uint64_t{1} << 50};
  static const FormatTraits kAnsi{
      .unicode = false, .version = 14, .id_size = 4, .header_size = 512,
      .page_trailer_size = 12, .page_data_size = 500, .block_trailer_size = 12,
      .max_block_data = 8180, .bt_entries_size = 496, .nbt_leaf_entry_size = 16,
      .bbt_leaf_entry_size = 12, .bt_branch_entry_size = 12, .sl_entry_size = 12,
      .si_entry_size = 8, .sub_block_header = 4, .row_index_size = 2,
      .max_file_size = std::uint64_t{0x7FFFFFFF}};
  return format == FileFormat::kUnicode ? kUnicode : kAnsi;
}

}  // namespace pstwriter
