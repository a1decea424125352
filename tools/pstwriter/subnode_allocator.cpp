// Values written to subnodes of their own.
#include "tools/pstwriter/subnode_allocator.h"

#include <algorithm>

#include <string>

#include "tools/pstwriter/data_tree_writer.h"
#include "tools/pstwriter/write_error.h"

namespace pstwriter {

NodeId SubnodeAllocator::AddData(std::span<const std::byte> data) {
  NodeId nid = NewId(kNidTypeLtp);
  tree_.Add(nid, {WriteDataTree(blocks_, data), 0});
  return nid;
}

NodeId SubnodeAllocator::AddStream(const ByteSource& source) {
  constexpr std::size_t kChunk = 1 << 16;
  if (source.size() > 0xFFFFFFFFu) {
    throw WriteError("value of " + std::to_string(source.size()) +
                     " bytes is larger than the 4 GiB - 1 a node can hold");
  }
  if (source.size() > blocks_.remaining_capacity()) {
    throw WriteError("value of " + std::to_string(source.size()) +
                     " bytes does not fit in what the file's format can still address");
  }
  NodeId nid = NewId(kNidTypeLtp);
  DataTreeWriter tree(blocks_);
  Bytes chunk;
  for (std::uint64_t offset = 0; offset < source.size(); offset += chunk.size()) {
    chunk.resize(std::size_t(std::min<std::uint64_t>(kChunk, source.size() - offset)));
    source.Read(offset, chunk);
    tree.Append(chunk);
  }
  tree_.Add(nid, {tree.Finish(), 0});
  return nid;
}

}  // namespace pstwriter
