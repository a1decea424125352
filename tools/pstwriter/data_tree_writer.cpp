// Data blocks and the XBLOCK/XXBLOCK levels above them.
#include "tools/pstwriter/data_tree_writer.h"

#include <algorithm>

#include "tools/pstwriter/write_error.h"

namespace pstwriter {
namespace {

constexpr std::uint8_t kBlockTypeXBlock = 0x01;
constexpr std::uint64_t kMaxStreamSize = 0xFFFFFFFFu;  // lcbTotal is 32 bits

}  // namespace

void DataTreeWriter::CheckTotal(std::size_t more) {
  if (total_ + more > kMaxStreamSize) {
    throw WriteError("value of more than 4 GiB - 1 bytes cannot be stored in one node");
  }
  total_ += more;
}

void DataTreeWriter::Append(std::span<const std::byte> data) {
  CheckTotal(data.size());
  const std::size_t cap = blocks_.traits().max_block_data;
  while (!data.empty()) {
    std::size_t take = std::min(cap - pending_.size(), data.size());
    pending_.insert(pending_.end(), data.begin(), data.begin() + take);
    data = data.subspan(take);
    if (pending_.size() == cap) FlushPending();
  }
}

void DataTreeWriter::AppendBlock(std::span<const std::byte> data) {
  FlushPending();
  CheckTotal(data.size());
  leaves_.push_back(blocks_.WriteExternal(data));
  leaf_sizes_.push_back(data.size());
}

void DataTreeWriter::FlushPending() {
  if (pending_.empty()) return;
  leaves_.push_back(blocks_.WriteExternal(pending_));
  leaf_sizes_.push_back(pending_.size());
  pending_.clear();
}

std::vector<BlockId> DataTreeWriter::WriteLevel(const std::vector<BlockId>& children,
                                                std::uint8_t level,
                                                const std::vector<std::uint64_t>& sizes,
                                                std::vector<std::uint64_t>* level_sizes) {
  const FormatTraits& t = blocks_.traits();
  const std::size_t per_block = (t.max_block_data - 8) / t.id_size;
  std::vector<BlockId> out;
  for (std::size_t first = 0; first < children.size(); first += per_block) {
    std::size_t n = std::min(per_block, children.size() - first);
    std::uint64_t covered = 0;
    for (std::size_t i = first; i < first + n; ++i) covered += sizes[i];
    Bytes block;
    ByteWriter w(block);
    w.U8(kBlockTypeXBlock);
    w.U8(level);
    w.U16(std::uint16_t(n));
    w.U32(std::uint32_t(covered));
    for (std::size_t i = first; i < first + n; ++i) w.Uint(children[i], t.id_size);
    out.push_back(blocks_.WriteInternal(block));
    level_sizes->push_back(covered);
  }
  return out;
}

BlockId DataTreeWriter::Finish() {
  FlushPending();
  if (leaves_.empty()) return blocks_.WriteExternal({});
  if (leaves_.size() == 1) return leaves_.front();
  std::vector<std::uint64_t> x_sizes;
  std::vector<BlockId> xblocks = WriteLevel(leaves_, 1, leaf_sizes_, &x_sizes);
  if (xblocks.size() == 1) return xblocks.front();
  std::vector<std::uint64_t> xx_sizes;
  std::vector<BlockId> xxblocks = WriteLevel(xblocks, 2, x_sizes, &xx_sizes);
  if (xxblocks.size() != 1) throw WriteError("node data too large for an XXBLOCK tree");
  return xxblocks.front();
}

BlockId WriteDataTree(BlockWriter& blocks, std::span<const std::byte> data) {
  DataTreeWriter tree(blocks);
  tree.Append(data);
  return tree.Finish();
}

}  // namespace pstwriter
