// Decoder of TCINFO and its column descriptors.
#include "platform/pst/ltp/table_format.h"

#include <string>

namespace pst::ltp {

namespace {

Status CheckColumn(const TcInfo& info, const TcColumnDescriptor& c) {
  const std::string name = "table: column " + std::to_string(c.tag.value());
  if (c.offset + std::size_t{c.size} > info.end_1byte || c.size == 0) {
    return Status::Corrupt(name + " lies outside the data part of the row");
  }
  if (c.bit / 8u >= info.bitmap_size()) {
    return Status::Corrupt(name + " has its existence bit outside the bitmap");
  }
  return Status::Ok();
}

}  // namespace

Result<TcInfo> TcInfo::Decode(Bytes bytes) {
  if (bytes.size() < kFixedSize) return Status::Corrupt("table: TCINFO shorter than 22 bytes");
  if (LoadU8(bytes, 0) != kType) return Status::Corrupt("table: TCINFO has a wrong type byte");
  const std::size_t count = LoadU8(bytes, 1);
  TcInfo info;
  info.end_4byte = LoadU16(bytes, 2);
  info.end_2byte = LoadU16(bytes, 4);
  info.end_1byte = LoadU16(bytes, 6);
  info.row_size = LoadU16(bytes, 8);
  info.row_index = HeapId{LoadU32(bytes, 10)};
  info.rows = HeapOrNodeId{LoadU32(bytes, 14)};
  if (info.end_4byte < kRowIdSize || info.end_2byte < info.end_4byte ||
      info.end_1byte < info.end_2byte || info.row_size < info.end_1byte) {
    return Status::Corrupt("table: row layout offsets out of order");
  }
  if (info.bitmap_size() < (count + 7) / 8) {
    return Status::Corrupt("table: cell-existence bitmap too small for its columns");
  }
  if (!InBounds(bytes.size(), kFixedSize, count * TcColumnDescriptor::kSize)) {
    return Status::Corrupt("table: column descriptors run past TCINFO");
  }
  info.columns.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = kFixedSize + i * TcColumnDescriptor::kSize;
    TcColumnDescriptor c;
    c.tag = PropTag::From(LoadU32(bytes, at));
    c.offset = LoadU16(bytes, at + 4);
    c.size = LoadU8(bytes, at + 6);
    c.bit = LoadU8(bytes, at + 7);
    PST_RETURN_IF_ERROR(CheckColumn(info, c));
    info.columns.push_back(c);
  }
  return info;
}

}  // namespace pst::ltp
