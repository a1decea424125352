// Node data and subnodes over the node database.
#include "platform/pst/ndb/data_node.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/pst/ndb/data_tree_block.h"
#include "platform/pst/ndb/node_database.h"
#include "platform/pst/ndb/subnode_tree.h"
#include "platform/pst/util/hex.h"

namespace pst::ndb {

Result<std::unique_ptr<Node>> DataNode::Open(const NodeDatabase& db, NodeId nid, BlockId data_bid,
                                             BlockId subnode_bid,
                                             std::vector<BlockId> subnode_path) {
  std::unique_ptr<DataNode> node(new DataNode(db, nid, subnode_bid, std::move(subnode_path)));
  if (data_bid != 0) PST_RETURN_IF_ERROR(node->ResolveBlocks(data_bid));
  return std::unique_ptr<Node>(std::move(node));
}

std::string DataNode::Where() const { return "node " + util::Hex(nid_); }

Status DataNode::ResolveBlocks(BlockId data_bid) {
  if (!IsInternalBlock(data_bid)) return AddLeaf(data_bid);
  auto data = db_.ReadBlock(data_bid);
  if (!data.ok()) return Status(data.status().code(), Where() + ": " + data.status().message());
  auto tree = DataTreeBlock::Decode(*data, db_.header().layout(), data_bid);
  if (!tree.ok()) return Status(tree.status().code(), Where() + ": " + tree.status().message());
  recorded_total_ = tree->total_size;
  for (BlockId child : tree->children) {
    if (tree->level == 1) {
      PST_RETURN_IF_ERROR(AddLeaf(child));
    } else {
      PST_RETURN_IF_ERROR(AddDataTreeLeaves(child, 1));
    }
  }
  PST_RETURN_IF_ERROR(CheckEachBlockOnce());
  if (size() != recorded_total_) {
    db_.log().Warning(Where() + ": data tree " + util::Hex(data_bid) + " records " +
                      std::to_string(recorded_total_) + " bytes, its blocks hold " +
                      std::to_string(size()));
  }
  return Status::Ok();
}

Status DataNode::AddDataTreeLeaves(BlockId bid, int want_level) {
  if (!IsInternalBlock(bid)) {
    return Status::Corrupt(Where() + ": data tree entry " + util::Hex(bid) + " is not an XBLOCK");
  }
  auto data = db_.ReadBlock(bid);
  if (!data.ok()) return Status(data.status().code(), Where() + ": " + data.status().message());
  auto tree = DataTreeBlock::Decode(*data, db_.header().layout(), bid);
  if (!tree.ok()) return Status(tree.status().code(), Where() + ": " + tree.status().message());
  if (tree->level != want_level) {
    return Status::Corrupt(Where() + ": data tree block " + util::Hex(bid) + " has level " +
                           std::to_string(tree->level) + ", expected " +
                           std::to_string(want_level));
  }
  for (BlockId child : tree->children) PST_RETURN_IF_ERROR(AddLeaf(child));
  return Status::Ok();
}

Status DataNode::AddLeaf(BlockId bid) {
  if (IsInternalBlock(bid)) {
    return Status::Corrupt(Where() + ": data block " + util::Hex(bid) + " is an internal block");
  }
  const FormatLayout& l = db_.header().layout();
  auto entry = db_.FindBlock(bid);
  if (!entry.ok()) return Status(entry.status().code(), Where() + ": " + entry.status().message());
  // The data a node claims is bounded by the file: each leaf takes its own room in the file (at
  // least one alignment unit), and a compressed leaf inflates to no more than the largest block.
  // Checked leaf by leaf, so a tree claiming gigabytes fails before its list grows.
  if (entry->inflated_size > l.max_block_data()) {
    return Status::Corrupt(Where() + ": data block " + util::Hex(bid) + " claims to inflate to " +
                           std::to_string(entry->inflated_size) + " bytes");
  }
  file_extent_ += l.BlockExtent(entry->stored_size);
  if (file_extent_ > db_.file_size()) {
    return Status::Corrupt(Where() + ": data tree lists more blocks than the file can hold");
  }
  blocks_.push_back({bid, *entry});
  starts_.push_back(starts_.back() + entry->inflated_size);
  return Status::Ok();
}

// A sound data tree lists every block once; one listing a block again (a small file declaring a
// huge object) is damaged.
Status DataNode::CheckEachBlockOnce() const {
  std::vector<BlockId> sorted;
  sorted.reserve(blocks_.size());
  for (const Leaf& leaf : blocks_) sorted.push_back(BlockKey(leaf.bid));
  std::sort(sorted.begin(), sorted.end());
  auto again = std::adjacent_find(sorted.begin(), sorted.end());
  if (again == sorted.end()) return Status::Ok();
  return Status::Corrupt(Where() + ": data tree lists block " + util::Hex(*again) +
                         " more than once");
}

Status DataNode::LoadBlock(std::size_t index, bool read_ahead) const {
  if (index == cached_index_) return Status::Ok();
  cached_index_ = SIZE_MAX;
  Status decoded = DecodeBlock(index, read_ahead);
  if (!decoded.ok()) return Status(decoded.code(), Where() + ": " + decoded.message());
  const std::uint64_t expected = starts_[index + 1] - starts_[index];
  if (block_.size() != expected) {
    Status wrong_size = Status::Corrupt(Where() + ": block " + util::Hex(blocks_[index].bid) +
                                        " holds " + std::to_string(block_.size()) +
                                        " bytes, expected " + std::to_string(expected));
    db_.log().Lost(wrong_size.message());
    return wrong_size;
  }
  cached_index_ = index;
  return Status::Ok();
}

Status DataNode::DecodeBlock(std::size_t index, bool read_ahead) const {
  const BlockReader& reader = db_.block_reader();
  const BlockEntry& entry = blocks_[index].entry;
  if (index < run_first_ || index >= run_end_) {
    const std::size_t end = read_ahead ? RunEnd(index) : index + 1;
    if (end == index + 1 || !ReadRun(index, end).ok()) return reader.Read(entry, block_);
  }
  // The block's stored extent from the run read, then checked and decoded like a lone read.
  const std::size_t at = static_cast<std::size_t>(entry.ref.ib - blocks_[run_first_].entry.ref.ib);
  const std::size_t extent = reader.Extent(entry);
  std::memcpy(block_.Resize(extent).data(), run_.bytes().data() + at, extent);
  return reader.Decode(entry, block_);
}

std::size_t DataNode::RunEnd(std::size_t index) const {
  const BlockReader& reader = db_.block_reader();
  std::size_t total = reader.Extent(blocks_[index].entry);
  std::size_t end = index + 1;
  for (; end < blocks_.size() && total != 0; ++end) {
    const BlockEntry& previous = blocks_[end - 1].entry;
    const BlockEntry& next = blocks_[end].entry;
    const std::size_t extent = reader.Extent(next);
    if (extent == 0 || total + extent > kRunBytes ||
        next.ref.ib != previous.ref.ib + reader.Extent(previous)) {
      break;
    }
    total += extent;
  }
  return total == 0 ? index + 1 : end;
}

// A failed run read is dropped: the blocks are then read one by one, so that a damaged file reports
// exactly what lone reads would.
Status DataNode::ReadRun(std::size_t first, std::size_t end) const {
  run_first_ = run_end_ = 0;
  const std::uint64_t from = blocks_[first].entry.ref.ib;
  const std::uint64_t to =
      blocks_[end - 1].entry.ref.ib + db_.block_reader().Extent(blocks_[end - 1].entry);
  PST_RETURN_IF_ERROR(db_.file().ReadExact(from, run_.Resize(static_cast<std::size_t>(to - from))));
  run_first_ = first;
  run_end_ = end;
  return Status::Ok();
}

Result<std::vector<std::byte>> DataNode::ReadBlock(std::size_t index) const {
  if (index >= blocks_.size()) {
    return Status::NotFound(Where() + ": no data block " + std::to_string(index));
  }
  std::lock_guard<std::mutex> lock(mu_);
  PST_RETURN_IF_ERROR(LoadBlock(index, false));
  return std::vector<std::byte>(block_.bytes().begin(), block_.bytes().end());
}

Result<std::size_t> DataNode::ReadAt(std::uint64_t offset, std::span<std::byte> out) const {
  if (offset >= size() || out.empty()) return std::size_t{0};
  const std::size_t want =
      static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), size() - offset));
  // The block holding offset: the last one starting at or before it.
  std::size_t index = static_cast<std::size_t>(
      std::upper_bound(starts_.begin(), starts_.end(), offset) - starts_.begin() - 1);
  std::lock_guard<std::mutex> lock(mu_);
  std::size_t done = 0;
  while (done < want) {
    PST_RETURN_IF_ERROR(LoadBlock(index, true));
    const std::uint64_t in_block = offset + done - starts_[index];
    const std::size_t n =
        static_cast<std::size_t>(std::min<std::uint64_t>(want - done, block_.size() - in_block));
    std::memcpy(out.data() + done, block_.bytes().data() + in_block, n);
    done += n;
    ++index;
  }
  return done;
}

Result<std::vector<std::byte>> DataNode::ReadAll(std::uint64_t max_size) const {
  if (size() > max_size) {
    return Status::Limit(Where() + ": data of " + std::to_string(size()) + " bytes exceeds " +
                         std::to_string(max_size));
  }
  // Appended block by block into reserved room: the bytes are written once, never cleared first.
  std::vector<std::byte> out;
  out.reserve(static_cast<std::size_t>(size()));
  std::lock_guard<std::mutex> lock(mu_);
  for (std::size_t i = 0; i < blocks_.size(); ++i) {
    PST_RETURN_IF_ERROR(LoadBlock(i, true));
    out.insert(out.end(), block_.bytes().begin(), block_.bytes().end());
  }
  return out;
}

Result<std::unique_ptr<Node>> DataNode::OpenSubnode(NodeId subnode) const {
  if (subnode_bid_ == 0) return Status::NotFound(Where() + " has no subnodes");
  auto entry = FindSubnode(db_, subnode_bid_, subnode);
  if (!entry.ok()) return Status(entry.status().code(), Where() + ": " + entry.status().message());
  std::vector<BlockId> path = subnode_path_;
  path.push_back(subnode_bid_);
  if (entry->subnode_bid != 0 &&
      std::find(path.begin(), path.end(), entry->subnode_bid) != path.end()) {
    return Status::Corrupt(Where() + ": subnode " + util::Hex(subnode) +
                           " refers back to subnode tree " + util::Hex(entry->subnode_bid) +
                           " it belongs to");
  }
  if (path.size() > NodeDatabase::kMaxSubnodeDepth) {
    return Status::Limit(Where() + ": subnodes nested more than " +
                         std::to_string(NodeDatabase::kMaxSubnodeDepth) + " deep");
  }
  return DataNode::Open(db_, subnode, entry->data_bid, entry->subnode_bid, std::move(path));
}

Result<std::vector<NodeId>> DataNode::SubnodeIds() const {
  std::vector<NodeId> ids;
  if (subnode_bid_ == 0) return ids;
  Status s = VisitSubnodes(db_, subnode_bid_, [&](const SubnodeLeafEntry& e) {
    ids.push_back(e.nid);
    return true;
  });
  if (!s.ok()) return Status(s.code(), Where() + ": " + s.message());
  return ids;
}

}  // namespace pst::ndb
