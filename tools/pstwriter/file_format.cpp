// Size tables of the Unicode, ANSI and 4 KiB-page variants: page, trailer, block and B-tree entry
// sizes come from the table the reader uses; the rest is what only a writer needs.
#include "tools/pstwriter/file_format.h"

#include "platform/pst/ndb/format_layout.h"

namespace pstwriter {
namespace {

// The fields of FormatTraits that the shared size table does not hold.
struct WriterOnlySizes {
  bool unicode;
  std::uint16_t version;
  std::size_t header_size;
  std::size_t bt_count_width;
  std::size_t bt_meta_padding;
  std::size_t sl_entry_size;
  std::size_t si_entry_size;
  std::size_t sub_block_header;
  std::size_t row_index_size;
  unsigned hid_block_shift;
  std::uint64_t max_file_size;
  std::uint64_t dlist_offset;
  std::uint64_t first_amap;
  std::uint64_t amap_slot;
  bool legacy_maps;
};

FormatTraits Combine(const pst::ndb::FormatLayout& l, const WriterOnlySizes& w) {
  return {.unicode = w.unicode,
          .version = w.version,
          .id_size = l.id_size,
          .header_size = w.header_size,
          .page_size = l.page_size,
          .page_trailer_size = l.page_trailer_size,
          .page_data_size = l.page_trailer_offset,
          .block_align = l.block_alignment,
          .block_trailer_size = l.block_trailer_size,
          .max_block_data = l.max_block_data(),
          .bt_entries_size = l.page_entries_size,
          .bt_count_width = w.bt_count_width,
          .bt_meta_padding = w.bt_meta_padding,
          .nbt_leaf_entry_size = l.nbtentry_size,
          .bbt_leaf_entry_size = l.bbtentry_size,
          .bt_branch_entry_size = l.btentry_size,
          .sl_entry_size = w.sl_entry_size,
          .si_entry_size = w.si_entry_size,
          .sub_block_header = w.sub_block_header,
          .row_index_size = w.row_index_size,
          .hid_block_shift = w.hid_block_shift,
          .max_file_size = w.max_file_size,
          .dlist_offset = w.dlist_offset,
          .first_amap = w.first_amap,
          .amap_slot = w.amap_slot,
          .legacy_maps = w.legacy_maps,
          .compressed_blocks = l.compressed_blocks};
}

}  // namespace

const FormatTraits& TraitsFor(FileFormat format) {
  static const FormatTraits kUnicode =
      Combine(pst::ndb::kUnicodeLayout, {.unicode = true,
                                         .version = 23,
                                         .header_size = 564,
                                         .bt_count_width = 1,
                                         .bt_meta_padding = 4,
                                         .sl_entry_size = 24,
                                         .si_entry_size = 16,
                                         .sub_block_header = 8,
                                         .row_index_size = 4,
                                         .hid_block_shift = 16,
                                         .max_file_size = std::uint64_t{1} << 50,
                                         .dlist_offset = 0x4200,
                                         .first_amap = 0x4400,
                                         .amap_slot = 64,
                                         .legacy_maps = true});
  static const FormatTraits kAnsi =
      Combine(pst::ndb::kAnsiLayout, {.unicode = false,
                                      .version = 14,
                                      .header_size = 512,
                                      .bt_count_width = 1,
                                      .bt_meta_padding = 0,
                                      .sl_entry_size = 12,
                                      .si_entry_size = 8,
                                      .sub_block_header = 4,
                                      .row_index_size = 2,
                                      .hid_block_shift = 16,
                                      .max_file_size = std::uint64_t{0x7FFFFFFF},
                                      .dlist_offset = 0x4200,
                                      .first_amap = 0x4400,
                                      .amap_slot = 64,
                                      .legacy_maps = true});
  // Blocks hold up to 64 KiB, so heaps rarely need a second page; a HID's block index sits three
  // bits higher than in the other variants.
  static const FormatTraits kUnicode4k =
      Combine(pst::ndb::kUnicode4kLayout, {.unicode = true,
                                           .version = 36,
                                           .header_size = 564,
                                           .bt_count_width = 2,
                                           .bt_meta_padding = 10,
                                           .sl_entry_size = 24,
                                           .si_entry_size = 16,
                                           .sub_block_header = 8,
                                           .row_index_size = 4,
                                           .hid_block_shift = 19,
                                           .max_file_size = std::uint64_t{1} << 50,
                                           .dlist_offset = 0x21000,
                                           .first_amap = 0x22000,
                                           .amap_slot = 512,
                                           .legacy_maps = false});
  switch (format) {
    case FileFormat::kUnicode:
      return kUnicode;
    case FileFormat::kAnsi:
      return kAnsi;
    case FileFormat::kUnicode4k:
      return kUnicode4k;
  }
  return kUnicode;
}

}  // namespace pstwriter
