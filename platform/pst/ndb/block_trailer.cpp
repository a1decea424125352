// Loading of block trailers in their three layouts.
#include "platform/pst/ndb/block_trailer.h"

#include "platform/pst/util/endian.h"

namespace pst {

BlockTrailer BlockTrailer::LoadFromBlockEnd(std::span<const std::byte> block,
                                            const FormatLayout& l) {
  auto t = block.last(l.block_trailer_size);
  BlockTrailer out;
  out.stored_size = LoadLe16(t, 0);
  out.signature = LoadLe16(t, 2);
  switch (l.variant) {
    case FormatVariant::kAnsi:  // cb, wSig, bid, dwCRC
      out.bid = LoadLe32(t, 4);
      out.crc = LoadLe32(t, 8);
      out.inflated_size = out.stored_size;
      break;
    case FormatVariant::kUnicode:  // cb, wSig, dwCRC, bid
      out.crc = LoadLe32(t, 4);
      out.bid = LoadLe64(t, 8);
      out.inflated_size = out.stored_size;
      break;
    case FormatVariant::kUnicode4k:  // cb, wSig, dwCRC, bid, a reserved word, cbInflated, padding
      out.crc = LoadLe32(t, 4);
      out.bid = LoadLe64(t, 8);
      out.inflated_size = LoadLe16(t, 18);
      break;
  }
  return out;
}

}  // namespace pst
