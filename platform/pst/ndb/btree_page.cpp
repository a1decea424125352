// Decoding of B-tree pages and their trailers.
#include "platform/pst/ndb/btree_page.h"

#include <string>

#include "platform/pst/ndb/pst_crc.h"
#include "platform/pst/util/endian.h"
#include "platform/pst/util/hex.h"

namespace pst {
namespace {

struct PageCounts {
  std::size_t count;      // cEnt
  std::size_t max_count;  // cEntMax
  std::size_t entry_size; // cbEnt
  std::uint8_t level;     // cLevel
};

// The counts sit right after the entries area: bytes in 512-byte pages, words for cEnt and cEntMax
// in 4 KiB pages.
PageCounts LoadCounts(std::span<const std::byte> page, const FormatLayout& l) {
  const std::size_t at = l.page_entries_size;
  if (l.page_size == 4096) {
    return {LoadLe16(page, at), LoadLe16(page, at + 2), static_cast<std::size_t>(page[at + 4]),
            static_cast<std::uint8_t>(page[at + 5])};
  }
  return {static_cast<std::size_t>(page[at]), static_cast<std::size_t>(page[at + 1]),
          static_cast<std::size_t>(page[at + 2]), static_cast<std::uint8_t>(page[at + 3])};
}

std::string Where(const BlockRef& ref) {
  return "B-tree page " + Hex(ref.bid) + " at offset " + Hex(ref.ib);
}

}  // namespace

PageTrailer PageTrailer::Load(std::span<const std::byte> page, const FormatLayout& l) {
  const std::size_t at = l.page_trailer_offset;
  PageTrailer t;
  t.ptype = static_cast<std::uint8_t>(page[at]);
  t.ptype_repeat = static_cast<std::uint8_t>(page[at + 1]);
  t.signature = LoadLe16(page, at + 2);
  if (l.variant == FormatVariant::kAnsi) {  // ANSI: bid before the CRC
    t.bid = LoadLe32(page, at + 4);
    t.crc = LoadLe32(page, at + 8);
  } else {
    t.crc = LoadLe32(page, at + 4);
    t.bid = LoadLe64(page, at + 8);
  }
  return t;
}

Result<BTreePage> BTreePage::Decode(std::span<const std::byte> page, const FormatLayout& l,
                                    PageType type, const BlockRef& ref) {
  if (page.size() < l.page_size) return Status::Corrupt(Where(ref) + ": page truncated");
  const PageTrailer trailer = PageTrailer::Load(page, l);
  const auto want = static_cast<std::uint8_t>(type);
  if (trailer.ptype != want || trailer.ptype_repeat != want) {
    return Status::Corrupt(Where(ref) + ": wrong page type " + Hex(trailer.ptype) + ", expected " +
                           Hex(want));
  }
  if (trailer.bid != ref.bid) {
    return Status::Corrupt(Where(ref) + ": page trailer names block " + Hex(trailer.bid));
  }
  BTreePage out;
  out.crc_ok_ = ComputeCrc(0, page.first(l.page_trailer_offset)) == trailer.crc;
  out.signature_ok_ = ComputeSig(ref.ib, ref.bid) == trailer.signature;

  const PageCounts c = LoadCounts(page, l);
  out.level_ = c.level;
  const std::size_t min_size = c.level > 0 ? BtEntry::MinSize(l)
                               : type == PageType::kNodeBTree ? NodeEntry::MinSize(l)
                                                              : BlockEntry::MinSize(l);
  if (c.entry_size < min_size || c.count * c.entry_size > l.page_entries_size) {
    return Status::Corrupt(Where(ref) + ": bad entry layout (" + std::to_string(c.count) + " x " +
                           std::to_string(c.entry_size) + " bytes)");
  }
  for (std::size_t i = 0; i < c.count; ++i) {
    auto slot = page.subspan(i * c.entry_size, c.entry_size);
    if (c.level > 0) {
      out.children_.push_back(BtEntry::Load(slot, l));
    } else if (type == PageType::kNodeBTree) {
      out.nodes_.push_back(NodeEntry::Load(slot, l));
    } else {
      out.blocks_.push_back(BlockEntry::Load(slot, l));
    }
  }
  return out;
}

}  // namespace pst
