// Reading values by HNID from a heap or a subnode.
#include "platform/pst/ltp/hnid_value.h"

#include <string>

namespace pst::ltp {
namespace {

// The subnode a value names. The value exists, so a subnode that cannot be found is damage, never
// an absent value.
Result<std::unique_ptr<ndb::Node>> OpenValueSubnode(const ndb::Node& node, HeapOrNodeId hnid) {
  auto sub = node.OpenSubnode(hnid.node_id());
  if (!sub && sub.status().code() == ErrorCode::kNotFound) {
    return Status::Corrupt("node " + std::to_string(node.id()) + ": the subnode " +
                           std::to_string(hnid.node_id()) + " holding a value cannot be found (" +
                           sub.status().message() + ")");
  }
  return sub;
}

}  // namespace

Result<std::vector<std::byte>> ReadHnid(const Heap& heap, const ndb::Node& node, HeapOrNodeId hnid,
                                        std::uint64_t max_size) {
  if (hnid.is_null()) return std::vector<std::byte>{};
  if (hnid.is_heap_id()) return heap.Read(hnid.heap_id());
  PST_ASSIGN_OR_RETURN(auto sub, OpenValueSubnode(node, hnid));
  return sub->ReadAll(max_size);
}

Result<ValueStream> OpenHnidStream(const Heap& heap, const ndb::Node& node, HeapOrNodeId hnid) {
  if (hnid.is_null() || hnid.is_heap_id()) {
    PST_ASSIGN_OR_RETURN(auto bytes, ReadHnid(heap, node, hnid));
    return ValueStream::FromBytes(std::move(bytes));
  }
  PST_ASSIGN_OR_RETURN(auto sub, OpenValueSubnode(node, hnid));
  return ValueStream::FromNode(std::move(sub));
}

Status CheckValueSize(PropTag tag, std::size_t size) {
  const auto fixed = FixedTypeSize(BaseType(tag.type));
  if (!fixed) return Status::Ok();
  const bool ok = IsMultiValued(tag.type) ? size % *fixed == 0 : size == *fixed;
  if (ok) return Status::Ok();
  return Status::Corrupt("property " + std::to_string(tag.value()) + " has " +
                         std::to_string(size) + " bytes, which its type does not allow");
}

}  // namespace pst::ltp
