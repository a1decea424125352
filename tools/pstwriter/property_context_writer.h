// A property context: the node's heap with a B-tree-on-heap of (property id -> type, value or
// HNID); values of up to four bytes inline, larger ones in the heap, values too large for a heap
// allocation in subnodes of the node.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/pstwriter/heap_builder.h"
#include "tools/pstwriter/ltp_value.h"
#include "tools/pstwriter/subnode_allocator.h"

namespace pstwriter {

struct PcProperty {
  std::uint16_t id;
  LtpValue value;
};

// Writes the context's heap as node data and returns its id (and, when asked, the data's size).
// Value subnodes go to node.
BlockId WritePropertyContext(SubnodeAllocator& node, std::vector<PcProperty> properties,
                             std::uint64_t* data_size = nullptr);

// Stores a variable-size value in heap (when it fits an allocation) or in a new subnode; returns
// the HNID. An empty value has HNID 0.
std::uint32_t StoreVariableValue(HeapBuilder& heap, SubnodeAllocator& node, const LtpValue& value);

}  // namespace pstwriter
