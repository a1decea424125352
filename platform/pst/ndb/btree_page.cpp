// Decoding of B-tree pages and their trailers.
#include "platform/pst/ndb/btree_page.h"

#include <string>

#include "platform/pst/ndb/pst_crc.h"
#include "platform/pst/util/endian.h"
#include "platform/pst/util/hex.h"

namespace pst::ndb {
namespace {

struct PageCounts {
  std::size_t count;       // cEnt
  std::size_t max_count;   // cEntMax
  std::size_t entry_size;  // cbEnt
  std::uint8_t level;      // cLevel
};

// Where the counts sit, from the end of the entries area: bytes in 512-byte pages, words for cEnt
// and cEntMax in 4 KiB pages.
struct CountOffsets {
  std::size_t count;
  std::size_t max_count;
  std::size_t entry_size;
  std::size_t level;
  bool wide_counts;  // cEnt and cEntMax are 16-bit
};

constexpr CountOffsets kSmallPageCounts{0, 1, 2, 3, false};
constexpr CountOffsets kLargePageCounts{0, 2, 4, 5, true};

// PAGETRAILER fields. The block id and the CRC swap places between ANSI and Unicode.
constexpr std::size_t kTrailerPtype = 0;        // ptype
constexpr std::size_t kTrailerPtypeRepeat = 1;  // ptypeRepeat
constexpr std::size_t kTrailerSignature = 2;    // wSig
struct TrailerIdOffsets {
  std::size_t bid;
  std::size_t crc;
};
constexpr TrailerIdOffsets kAnsiTrailerIds{4, 8};     // bid (32-bit), dwCRC
constexpr TrailerIdOffsets kUnicodeTrailerIds{8, 4};  // dwCRC, bid (64-bit)

std::uint8_t ByteAt(std::span<const std::byte> page, std::size_t at) {
  return static_cast<std::uint8_t>(page[at]);
}

PageCounts LoadCounts(std::span<const std::byte> page, const FormatLayout& l) {
  const CountOffsets& c = l.page_size == 4096 ? kLargePageCounts : kSmallPageCounts;
  auto counts = page.subspan(l.page_entries_size);
  auto load_count = [&](std::size_t at) -> std::size_t {
    return c.wide_counts ? util::LoadLe16(counts, at) : ByteAt(counts, at);
  };
  return {load_count(c.count), load_count(c.max_count), ByteAt(counts, c.entry_size),
          ByteAt(counts, c.level)};
}

std::string Where(const BlockRef& ref) {
  return "B-tree page " + util::Hex(ref.bid) + " at offset " + util::Hex(ref.ib);
}

}  // namespace

PageTrailer PageTrailer::Load(std::span<const std::byte> page, const FormatLayout& l) {
  auto trailer = page.subspan(l.page_trailer_offset, l.page_trailer_size);
  const TrailerIdOffsets& ids =
      l.variant == FormatVariant::kAnsi ? kAnsiTrailerIds : kUnicodeTrailerIds;
  PageTrailer t;
  t.ptype = ByteAt(trailer, kTrailerPtype);
  t.ptype_repeat = ByteAt(trailer, kTrailerPtypeRepeat);
  t.signature = util::LoadLe16(trailer, kTrailerSignature);
  t.bid = util::LoadLeId(trailer, ids.bid, l.id_size);
  t.crc = util::LoadLe32(trailer, ids.crc);
  return t;
}

Result<BTreePage> BTreePage::Decode(std::span<const std::byte> page, const FormatLayout& l,
                                    PageType type, const BlockRef& ref) {
  if (page.size() < l.page_size) return Status::Corrupt(Where(ref) + ": page truncated");
  const PageTrailer trailer = PageTrailer::Load(page, l);
  const auto want = static_cast<std::uint8_t>(type);
  if (trailer.ptype != want || trailer.ptype_repeat != want) {
    return Status::Corrupt(Where(ref) + ": wrong page type " + util::Hex(trailer.ptype) +
                           ", expected " + util::Hex(want));
  }
  if (trailer.bid != ref.bid) {
    return Status::Corrupt(Where(ref) + ": page trailer names block " + util::Hex(trailer.bid));
  }
  BTreePage out;
  out.crc_ok_ = util::ComputeCrc(0, page.first(l.page_trailer_offset)) == trailer.crc;
  out.signature_ok_ = util::ComputeSig(ref.ib, ref.bid) == trailer.signature;

  const PageCounts c = LoadCounts(page, l);
  out.level_ = c.level;
  const std::size_t min_size = c.level > 0                    ? BtEntry::MinSize(l)
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

}  // namespace pst::ndb
