// Decoding of XBLOCK / XXBLOCK.
#include "platform/pst/ndb/data_tree_block.h"

#include <string>

#include "platform/pst/util/endian.h"
#include "platform/pst/util/hex.h"

namespace pst::ndb {

Result<DataTreeBlock> DataTreeBlock::Decode(std::span<const std::byte> data, const FormatLayout& l,
                                            BlockId bid) {
  const std::string where = "data tree block " + util::Hex(bid);
  if (data.size() < kHeaderSize) return Status::Corrupt(where + ": too short");
  if (static_cast<std::uint8_t>(data[0]) != kBlockType) {
    return Status::Corrupt(where + ": wrong block type " +
                           util::Hex(static_cast<std::uint8_t>(data[0])));
  }
  DataTreeBlock out;
  out.level = static_cast<std::uint8_t>(data[1]);
  if (out.level != 1 && out.level != 2) {
    return Status::Corrupt(where + ": bad level " + std::to_string(out.level));
  }
  const std::size_t count = util::LoadLe16(data, 2);
  out.total_size = util::LoadLe32(data, 4);
  if (kHeaderSize + count * l.id_size > data.size()) {
    return Status::Corrupt(where + ": " + std::to_string(count) + " entries overrun the block");
  }
  out.children.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    out.children.push_back(util::LoadLeId(data, kHeaderSize + i * l.id_size, l.id_size));
  }
  return out;
}

}  // namespace pst::ndb
