// SLBLOCK and SIBLOCK serialisation, entries sorted by subnode id.
#include "tools/pstwriter/subnode_tree_writer.h"

#include <algorithm>

#include "tools/pstwriter/write_error.h"

namespace pstwriter {
namespace {

constexpr std::uint8_t kBlockTypeSubnode = 0x02;

void Header(ByteWriter& w, const FormatTraits& t, std::uint8_t level, std::size_t count) {
  w.U8(kBlockTypeSubnode);
  w.U8(level);
  w.U16(std::uint16_t(count));
  if (t.unicode) w.U32(0);  // dwPadding
}

}  // namespace

BlockId SubnodeTreeWriter::Finish(BlockWriter& blocks) {
  if (entries_.empty()) return 0;
  std::sort(entries_.begin(), entries_.end(),
            [](const Entry& a, const Entry& b) { return a.nid < b.nid; });
  for (std::size_t i = 1; i < entries_.size(); ++i) {
    if (entries_[i].nid == entries_[i - 1].nid) throw WriteError("duplicate subnode id");
  }
  const FormatTraits& t = blocks.traits();
  const std::size_t per_sl = (t.max_block_data - t.sub_block_header) / t.sl_entry_size;
  const std::size_t per_si = (t.max_block_data - t.sub_block_header) / t.si_entry_size;

  std::vector<std::pair<NodeId, BlockId>> leaves;
  for (std::size_t first = 0; first < entries_.size(); first += per_sl) {
    std::size_t n = std::min(per_sl, entries_.size() - first);
    Bytes block;
    ByteWriter w(block);
    Header(w, t, 0, n);
    for (std::size_t i = first; i < first + n; ++i) {
      w.Uint(entries_[i].nid, t.id_size);
      w.Uint(entries_[i].blocks.data, t.id_size);
      w.Uint(entries_[i].blocks.subnodes, t.id_size);
    }
    leaves.emplace_back(entries_[first].nid, blocks.WriteInternal(block));
  }
  if (leaves.size() == 1) return leaves.front().second;
  if (leaves.size() > per_si) throw WriteError("too many subnodes for one node");
  Bytes block;
  ByteWriter w(block);
  Header(w, t, 1, leaves.size());
  for (const auto& [nid, bid] : leaves) {
    w.Uint(nid, t.id_size);
    w.Uint(bid, t.id_size);
  }
  return blocks.WriteInternal(block);
}

}  // namespace pstwriter
