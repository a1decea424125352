// Property context serialisation.
#include "tools/pstwriter/property_context_writer.h"

#include <algorithm>

#include "tools/pstwriter/bth_writer.h"
#include "tools/pstwriter/data_tree_writer.h"
#include "tools/pstwriter/heap_builder.h"
#include "tools/pstwriter/write_error.h"

namespace pstwriter {

std::uint32_t StoreVariableValue(HeapBuilder& heap, SubnodeAllocator& node, const LtpValue& value) {
  if (value.size() == 0) return 0;
  if (value.stream) {
    if (value.size() <= kMaxHeapAllocation) return heap.Allocate(ReadAll(*value.stream));
    return node.AddStream(*value.stream);
  }
  if (value.bytes.size() <= kMaxHeapAllocation) return heap.Allocate(value.bytes);
  return node.AddData(value.bytes);
}

BlockId WritePropertyContext(SubnodeAllocator& node, std::vector<PcProperty> properties,
                             std::uint64_t* data_size) {
  std::sort(properties.begin(), properties.end(),
            [](const PcProperty& a, const PcProperty& b) { return a.id < b.id; });
  const FormatTraits& traits = node.blocks().traits();
  HeapBuilder heap(HeapClient::kPropertyContext, traits.max_block_data, traits.hid_block_shift);
  Bytes records;
  ByteWriter w(records);
  for (std::size_t i = 0; i < properties.size(); ++i) {
    const PcProperty& p = properties[i];
    if (i > 0 && p.id == properties[i - 1].id) throw WriteError("property set twice");
    w.U16(p.id);
    w.U16(p.value.type);
    std::size_t fixed = FixedSize(p.value.type);
    if (fixed != 0 && fixed <= 4) {
      w.U32(std::uint32_t(p.value.fixed));
    } else if (fixed == 8) {
      Bytes eight;
      ByteWriter(eight).U64(p.value.fixed);
      w.U32(heap.Allocate(eight));
    } else {
      w.U32(StoreVariableValue(heap, node, p.value));
    }
  }
  heap.set_user_root(WriteBTreeOnHeap(heap, 2, 6, records));
  DataTreeWriter tree(node.blocks());
  for (const Bytes& page : heap.Serialize()) tree.AppendBlock(page);
  if (data_size) *data_size = tree.size();
  return tree.Finish();
}

}  // namespace pstwriter
