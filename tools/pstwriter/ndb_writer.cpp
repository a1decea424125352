// Completion of the node database: B-trees, allocation maps, density list, header.
#include "tools/pstwriter/ndb_writer.h"

#include <algorithm>

#include "platform/pst/ndb/pst_crc.h"
#include "tools/pstwriter/write_error.h"

namespace pstwriter {
namespace {

constexpr std::uint16_t kMagicClient = 0x4D53;  // "SM"
constexpr std::uint16_t kVersionClient = 19;
constexpr std::uint8_t kSentinel = 0x80;
constexpr std::uint8_t kAMapValid2 = 0x02;
constexpr std::size_t kCrcPartialLength = 471;
constexpr std::size_t kCrcFullLength = 516;
constexpr std::size_t kHeaderFreeMapEntries = 128;

std::uint32_t Crc(const Bytes& header, std::size_t length) {
  return pst::util::ComputeCrc(0, std::span<const std::byte>(header).subspan(8, length));
}

}  // namespace

NdbWriter::NdbWriter(const std::string& path, FileFormat format, pst::ndb::CryptMethod crypt)
    : traits_(TraitsFor(format)),
      crypt_(crypt),
      sink_(path),
      space_(traits_),
      blocks_(sink_, space_, traits_, crypt) {}

void NdbWriter::Finish(const std::array<std::uint32_t, 32>& next_nid_index) {
  BlockRef bbt = WriteBlockBTree(blocks_);
  BlockRef nbt = WriteNodeBTree(blocks_, std::move(nodes_));
  WriteMaps();
  if (traits_.unicode) WriteDensityList();
  WriteHeader(next_nid_index, nbt, bbt);
  sink_.Close(space_.file_end());
}

void NdbWriter::WriteMaps() {
  Bytes full(traits_.page_data_size, std::byte{0});
  std::fill(full.begin(), full.end(), std::byte{0xFF});
  for (std::size_t k = 0; k < space_.interval_count(); ++k) {
    std::uint64_t start = space_.IntervalStart(k);
    auto bits = space_.AMapBits(k);
    Bytes amap(traits_.page_data_size, std::byte{0});
    std::transform(bits.begin(), bits.end(), amap.begin(),
                   [](std::uint8_t b) { return std::byte{b}; });
    blocks_.WriteFixedPage(start, amap, PageType::kAMap);
    // Page maps are no longer consulted by the mail client; all pages read as in use.
    if (space_.HasPMap(k)) {
      blocks_.WriteFixedPage(start + traits_.page_size, full, PageType::kPMap);
    }
    if (space_.HasFMap(k)) {
      Bytes fmap(traits_.page_data_size, std::byte{0});
      for (std::size_t i = 0; i < fmap.size() && k + i < space_.interval_count(); ++i) {
        fmap[i] = std::byte(std::min<std::uint32_t>(space_.LongestFreeRun(k + i), 0xFF));
      }
      blocks_.WriteFixedPage(space_.FreeMapPageOffset(k), fmap, PageType::kFMap);
    }
    if (space_.HasFPMap(k)) {
      blocks_.WriteFixedPage(space_.FreeMapPageOffset(k), full, PageType::kFPMap);
    }
  }
}

void NdbWriter::WriteDensityList() {
  // DLISTPAGE: the AMap pages with free space, emptiest last.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> pages;  // free slots, page number
  for (std::size_t k = 0; k < space_.interval_count(); ++k) {
    std::uint32_t free = space_.FreeSlots(k);
    if (free > 0) pages.emplace_back(free, std::uint32_t(k));
  }
  std::sort(pages.begin(), pages.end());
  const std::size_t kMaxEntries = (traits_.page_data_size - 20) / 4;
  if (pages.size() > kMaxEntries) pages.resize(kMaxEntries);
  Bytes page;
  ByteWriter w(page);
  w.U8(0);  // bFlags
  w.U8(std::uint8_t(pages.size()));
  w.U16(0);
  w.U32(pages.empty() ? 0 : pages.front().second);  // ulCurrentPage
  for (const auto& [free, number] : pages) {
    w.U32((number & 0xFFFFF) | (std::min<std::uint32_t>(free, 0xFFF) << 20));
  }
  w.Zeros(traits_.page_data_size - page.size());
  blocks_.WriteFixedPage(traits_.dlist_offset, page, PageType::kDList);
}

void NdbWriter::WriteHeader(const std::array<std::uint32_t, 32>& rgnid, BlockRef nbt,
                            BlockRef bbt) {
  const std::size_t id = traits_.id_size;
  Bytes h;
  ByteWriter w(h);
  w.Put(AsBytes("!BDN"));
  w.U32(0);  // dwCRCPartial, patched below
  w.U16(kMagicClient);
  w.U16(traits_.version);
  w.U16(kVersionClient);
  w.U8(1);  // bPlatformCreate
  w.U8(1);  // bPlatformAccess
  w.U32(0);
  w.U32(0);
  if (traits_.unicode) {
    w.U64(0);  // bidUnused
    w.U64(blocks_.next_page_id());
  } else {
    w.U32(std::uint32_t(blocks_.next_block_id()));
    w.U32(std::uint32_t(blocks_.next_page_id()));
  }
  w.U32(0x2A11F00D);  // dwUnique
  for (std::uint32_t next_index : rgnid) w.U32(next_index);
  if (traits_.unicode) w.U64(0);  // qwUnused
  // ROOT
  w.U32(0);
  w.Uint(space_.file_end(), id);
  w.Uint(space_.IntervalStart(space_.interval_count() - 1), id);
  w.Uint(space_.FreeBytes(), id);
  w.Uint(0, id);  // cbPMapFree
  w.Uint(nbt.bid, id);
  w.Uint(nbt.ib, id);
  w.Uint(bbt.bid, id);
  w.Uint(bbt.ib, id);
  w.U8(kAMapValid2);
  w.U8(0);
  w.U16(0);
  if (traits_.unicode) w.U32(0);  // dwAlign
  for (std::size_t k = 0; k < kHeaderFreeMapEntries; ++k) {
    bool present = k < space_.interval_count();
    w.U8(present ? std::uint8_t(std::min<std::uint32_t>(space_.LongestFreeRun(k), 0xFF)) : 0);
  }
  for (std::size_t k = 0; k < kHeaderFreeMapEntries; ++k) w.U8(0xFF);  // rgbFP
  w.U8(kSentinel);
  w.U8(std::uint8_t(crypt_));
  w.U16(0);
  if (traits_.unicode) {
    w.U64(blocks_.next_block_id());
    w.U32(0);  // dwCRCFull, patched below
    w.Zeros(3 + 1 + 32);
  } else {
    w.U64(0);
    w.U32(0);
    w.Zeros(3 + 1 + 32);
  }
  if (h.size() != traits_.header_size) throw WriteError("internal: header size mismatch");
  PatchUint(h, 4, Crc(h, kCrcPartialLength), 4);
  if (traits_.unicode) PatchUint(h, 524, Crc(h, kCrcFullLength), 4);
  sink_.WriteAt(0, h);
}

}  // namespace pstwriter
