// Loading of block trailers in their three layouts.
#include "platform/pst/ndb/block_trailer.h"

#include "platform/pst/util/endian.h"

namespace pst::ndb {
namespace {

// BLOCKTRAILER fields. The block id and the CRC swap places between ANSI and Unicode; only 4
// KiB-page files store the inflated size.
constexpr std::size_t kStoredSize = 0;     // cb
constexpr std::size_t kSignature = 2;      // wSig
constexpr std::size_t kAnsiBid = 4;        // bid, 32-bit
constexpr std::size_t kAnsiCrc = 8;        // dwCRC
constexpr std::size_t kUnicodeCrc = 4;     // dwCRC
constexpr std::size_t kUnicodeBid = 8;     // bid, 64-bit
constexpr std::size_t kInflatedSize = 18;  // cbInflated, after a reserved word

}  // namespace

BlockTrailer BlockTrailer::LoadFromBlockEnd(std::span<const std::byte> block,
                                            const FormatLayout& l) {
  auto t = block.last(l.block_trailer_size);
  BlockTrailer out;
  out.stored_size = util::LoadLe16(t, kStoredSize);
  out.signature = util::LoadLe16(t, kSignature);
  if (l.variant == FormatVariant::kAnsi) {
    out.bid = util::LoadLe32(t, kAnsiBid);
    out.crc = util::LoadLe32(t, kAnsiCrc);
  } else {
    out.crc = util::LoadLe32(t, kUnicodeCrc);
    out.bid = util::LoadLe64(t, kUnicodeBid);
  }
  out.inflated_size = l.compressed_blocks ? util::LoadLe16(t, kInflatedSize) : out.stored_size;
  return out;
}

}  // namespace pst::ndb
