// Decoding of SLBLOCK / SIBLOCK.
#include "platform/pst/ndb/subnode_block.h"

#include <string>

#include "platform/pst/util/endian.h"
#include "platform/pst/util/hex.h"

namespace pst::ndb {

Result<SubnodeBlock> SubnodeBlock::Decode(std::span<const std::byte> data, const FormatLayout& l,
                                          BlockId bid) {
  const std::string where = "subnode block " + util::Hex(bid);
  // btype, cLevel, cEnt, and in the 64-bit layouts a 4-byte padding before the entries.
  const std::size_t header = l.id_size == 4 ? 4 : 8;
  if (data.size() < header) return Status::Corrupt(where + ": too short");
  if (static_cast<std::uint8_t>(data[0]) != kBlockType) {
    return Status::Corrupt(where + ": wrong block type " +
                           util::Hex(static_cast<std::uint8_t>(data[0])));
  }
  SubnodeBlock out;
  out.level = static_cast<std::uint8_t>(data[1]);
  if (out.level > 1) return Status::Corrupt(where + ": bad level " + std::to_string(out.level));
  const std::size_t count = util::LoadLe16(data, 2);
  const std::size_t w = l.id_size;
  const std::size_t entry_size = out.level == 0 ? 3 * w : 2 * w;
  if (header + count * entry_size > data.size()) {
    return Status::Corrupt(where + ": " + std::to_string(count) + " entries overrun the block");
  }
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = header + i * entry_size;
    const auto nid = static_cast<NodeId>(util::LoadLeId(data, at, w));
    if (out.level == 0) {
      out.leaves.push_back(
          {nid, util::LoadLeId(data, at + w, w), util::LoadLeId(data, at + 2 * w, w)});
    } else {
      out.index.push_back({nid, util::LoadLeId(data, at + w, w)});
    }
  }
  return out;
}

}  // namespace pst::ndb
