// Values that a property or table context refers to by HNID: bytes in the context's heap or the
// data of one of its subnodes. Shared by both contexts.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/pst/ltp/heap.h"
#include "platform/pst/ltp/property_tag.h"
#include "platform/pst/ltp/value_stream.h"

namespace pst::ltp {

// Largest value read into memory at once; larger values are read through OpenHnidStream.
inline constexpr std::uint64_t kMaxValueInMemory = 64ull << 20;

// The bytes an HNID names: the heap allocation, or the whole data of the subnode of `node`
// (kLimit when the subnode holds more than max_size bytes). A null HNID is an empty value.
Result<std::vector<std::byte>> ReadHnid(const Heap& heap, const ndb::Node& node, HeapOrNodeId hnid,
                                        std::uint64_t max_size = kMaxValueInMemory);

// The same value as a stream; subnode data stays on disk.
Result<ValueStream> OpenHnidStream(const Heap& heap, const ndb::Node& node, HeapOrNodeId hnid);

// Checks that a value of `tag`'s type may have `size` bytes: fixed types need their exact size,
// fixed multi-valued types whole elements.
Status CheckValueSize(PropTag tag, std::size_t size);

}  // namespace pst::ltp
