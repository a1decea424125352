// Block and page serialisation: payload, padding to 64 bytes, BLOCKTRAILER or PAGETRAILER.
#include "tools/pstwriter/block_writer.h"

#include <zlib.h>

#include <algorithm>

#include "platform/pst/ndb/pst_crc.h"
#include "tools/pstwriter/write_error.h"

namespace pstwriter {
namespace {

constexpr BlockId kInternalBit = 0x2;
// Blocks are referenced once, by their node or parent block; the block B-tree holds the other
// reference, as files written by the mail client do.
constexpr std::uint16_t kSingleUseRefCount = 2;

}  // namespace

BlockWriter::BlockWriter(FileSink& sink, FileSpace& space, const FormatTraits& traits,
                         pst::ndb::CryptMethod crypt)
    : sink_(sink), space_(space), traits_(traits), crypt_(crypt) {}

void BlockWriter::PatchTrailerTail(std::span<std::byte> out, std::size_t trailer, std::uint16_t sig,
                                   std::uint32_t crc, BlockId bid) const {
  // Block and page trailers end alike: wSig, then the CRC and the id, in variant order.
  PatchUint(out, trailer + 2, sig, 2);
  if (traits_.unicode) {
    PatchUint(out, trailer + 4, crc, 4);
    PatchUint(out, trailer + 8, bid, 8);
  } else {
    PatchUint(out, trailer + 4, bid, 4);
    PatchUint(out, trailer + 8, crc, 4);
  }
}

BlockId BlockWriter::WriteExternal(std::span<const std::byte> data) { return Write(data, false); }

BlockId BlockWriter::WriteInternal(std::span<const std::byte> data) { return Write(data, true); }

bool BlockWriter::Compress(std::span<const std::byte> data) {
  // Readers disagree on whether an encoded block is compressed before or after encoding, so
  // blocks of encoded files stay uncompressed: valid under either reading.
  if (!traits_.compressed_blocks || crypt_ != pst::ndb::CryptMethod::kNone || data.size() < 64) {
    return false;
  }
  uLongf size = compressBound(uLong(data.size()));
  compressed_.resize(size);
  if (compress2(reinterpret_cast<Bytef*>(compressed_.data()), &size,
                reinterpret_cast<const Bytef*>(data.data()), uLong(data.size()),
                Z_BEST_SPEED) != Z_OK ||
      size >= data.size()) {
    return false;
  }
  compressed_.resize(size);
  return true;
}

BlockId BlockWriter::Write(std::span<const std::byte> data, bool internal) {
  if (data.size() > traits_.max_block_data) throw WriteError("block payload too large");
  if (!traits_.unicode && next_bid_ > 0xFFFFFFF0u) throw WriteError("out of block ids");
  BlockId bid = next_bid_ | (internal ? kInternalBit : 0);
  next_bid_ += 4;

  std::span<const std::byte> stored = data;
  if (!internal && Compress(data)) stored = compressed_;
  const std::size_t align = traits_.block_align;
  std::size_t total = (stored.size() + traits_.block_trailer_size + align - 1) / align * align;
  std::uint64_t ib = space_.Allocate(total, align);
  scratch_.assign(total, std::byte{0});
  std::copy(stored.begin(), stored.end(), scratch_.begin());
  std::span<std::byte> payload(scratch_.data(), stored.size());
  if (!internal) pst::ndb::EncodeBlockData(crypt_, payload, bid);

  std::uint32_t crc = pst::util::ComputeCrc(0, payload);
  std::uint16_t sig = pst::util::ComputeSig(ib, bid);
  std::size_t t = total - traits_.block_trailer_size;
  PatchUint(scratch_, t, stored.size(), 2);
  PatchTrailerTail(scratch_, t, sig, crc, bid);
  if (traits_.compressed_blocks) {
    PatchUint(scratch_, t + 16, kSingleUseRefCount, 2);  // as the mail client writes it
    PatchUint(scratch_, t + 18, data.size(), 2);         // cbInflated
  }
  sink_.WriteAt(ib, scratch_);
  bbt_.push_back(
      {{bid, ib}, std::uint16_t(stored.size()), std::uint16_t(data.size()), kSingleUseRefCount});
  return bid;
}

Bytes BlockWriter::PageBytes(std::uint64_t ib, BlockId bid, std::span<const std::byte> payload,
                             PageType type, bool signed_page) const {
  Bytes page(traits_.page_size, std::byte{0});
  std::copy(payload.begin(), payload.end(), page.begin());
  std::span<const std::byte> data(page.data(), traits_.page_data_size);
  std::uint32_t crc = pst::util::ComputeCrc(0, data);
  std::uint16_t sig = signed_page ? pst::util::ComputeSig(ib, bid) : 0;
  std::size_t t = traits_.page_data_size;
  page[t] = std::byte(type);
  page[t + 1] = std::byte(type);
  PatchTrailerTail(page, t, sig, crc, bid);
  return page;
}

BlockRef BlockWriter::WriteBTreePage(std::span<const std::byte> payload, PageType type) {
  std::uint64_t ib = space_.Allocate(traits_.page_size, traits_.page_size);
  BlockId bid = next_pid_++;
  sink_.WriteAt(ib, PageBytes(ib, bid, payload, type, true));
  return {bid, ib};
}

void BlockWriter::WriteFixedPage(std::uint64_t ib, std::span<const std::byte> payload,
                                 PageType type) {
  bool signed_page = type == PageType::kDList;
  sink_.WriteAt(ib, PageBytes(ib, ib, payload, type, signed_page));
}

}  // namespace pstwriter
