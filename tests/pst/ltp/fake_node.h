// An in-memory node for tests of the layers above the node database: data as a list of blocks and
// subnodes by id, each again a fake node.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/pst/ndb/node.h"

namespace pst::testing {

using ByteVector = std::vector<std::byte>;

struct FakeNodeData {
  ndb::NodeId id = 0;
  std::vector<ByteVector> blocks;
  std::map<ndb::NodeId, std::shared_ptr<FakeNodeData>> subnodes;
  std::map<std::size_t, Status> failing_blocks;  // blocks whose read fails
};

class FakeNode : public ndb::Node {
 public:
  explicit FakeNode(std::shared_ptr<const FakeNodeData> data) : data_(std::move(data)) {}

  ndb::NodeId id() const override { return data_->id; }
  std::uint64_t size() const override {
    std::uint64_t total = 0;
    for (const auto& b : data_->blocks) total += b.size();
    return total;
  }
  std::size_t block_count() const override { return data_->blocks.size(); }
  Result<ByteVector> ReadBlock(std::size_t index) const override {
    if (auto it = data_->failing_blocks.find(index); it != data_->failing_blocks.end()) {
      return it->second;
    }
    if (index >= data_->blocks.size()) return Status::NotFound("no such block");
    return data_->blocks[index];
  }
  Result<std::size_t> ReadAt(std::uint64_t offset, std::span<std::byte> out) const override {
    std::size_t done = 0;
    std::uint64_t start = 0;
    for (std::size_t i = 0; i < data_->blocks.size() && done < out.size(); ++i) {
      const auto& b = data_->blocks[i];
      const std::uint64_t end = start + b.size();
      const std::uint64_t at = offset + done;
      if (at < end && at >= start) {
        auto block = ReadBlock(i);
        if (!block) return block.status();
        const std::size_t n = std::min<std::uint64_t>(out.size() - done, end - at);
        std::memcpy(out.data() + done, block->data() + (at - start), n);
        done += n;
      }
      start = end;
    }
    return done;
  }
  Result<ByteVector> ReadAll(std::uint64_t max_size) const override {
    if (size() > max_size) return Status::Limit("node larger than allowed");
    ByteVector all;
    for (std::size_t i = 0; i < block_count(); ++i) {
      auto block = ReadBlock(i);
      if (!block) return block.status();
      all.insert(all.end(), block->begin(), block->end());
    }
    return all;
  }
  Result<std::unique_ptr<ndb::Node>> OpenSubnode(ndb::NodeId subnode) const override {
    auto it = data_->subnodes.find(subnode);
    if (it == data_->subnodes.end()) {
      return Status::NotFound("no subnode " + std::to_string(subnode));
    }
    return std::unique_ptr<ndb::Node>(std::make_unique<FakeNode>(it->second));
  }
  Result<std::vector<ndb::NodeId>> SubnodeIds() const override {
    std::vector<ndb::NodeId> ids;
    for (const auto& [id, _] : data_->subnodes) ids.push_back(id);
    return ids;
  }

 private:
  std::shared_ptr<const FakeNodeData> data_;
};

inline std::unique_ptr<ndb::Node> MakeFakeNode(std::shared_ptr<FakeNodeData> data) {
  return std::make_unique<FakeNode>(std::move(data));
}

// The data of a node made of the given blocks and without subnodes.
inline std::shared_ptr<FakeNodeData> FakeNodeOfBlocks(ndb::NodeId id,
                                                      std::vector<ByteVector> blocks) {
  auto data = std::make_shared<FakeNodeData>();
  data->id = id;
  data->blocks = std::move(blocks);
  return data;
}

}  // namespace pst::testing
