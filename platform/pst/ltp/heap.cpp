// Heap-on-node: block loading, page-map decoding and allocation look-up.
#include "platform/pst/ltp/heap.h"

#include <string>

namespace pst::ltp {

namespace {

std::string Where(const ndb::Node& node) { return "node " + std::to_string(node.id()) + ": "; }

Result<std::uint16_t> PageMapOffset(std::size_t index, Bytes block) {
  if (index == 0) {
    PST_ASSIGN_OR_RETURN(auto h, HnHeader::Decode(block));
    return h.page_map_offset;
  }
  if (IsBitmapBlock(index)) {
    PST_ASSIGN_OR_RETURN(auto h, HnBitmapHeader::Decode(block));
    return h.page_map_offset;
  }
  PST_ASSIGN_OR_RETURN(auto h, HnPageHeader::Decode(block));
  return h.page_map_offset;
}

}  // namespace

Result<Heap> Heap::Open(const ndb::Node& node, HeapIdLayout layout) {
  if (node.block_count() == 0) return Status::Corrupt(Where(node) + "heap node has no data");
  PST_ASSIGN_OR_RETURN(auto first, node.ReadBlock(0));
  auto header = HnHeader::Decode(first);
  if (!header) return Status::Corrupt(Where(node) + header.status().message());
  Heap heap(&node, layout, *header, node.block_count());
  auto page = DecodePage(0, std::move(first));
  if (!page) return Status::Corrupt(Where(node) + page.status().message());
  heap.pages_.push_front(std::move(*page));
  return heap;
}

Result<Heap::Page> Heap::DecodePage(std::size_t index, std::vector<std::byte> bytes) {
  PST_ASSIGN_OR_RETURN(auto offset, PageMapOffset(index, bytes));
  PST_ASSIGN_OR_RETURN(auto map, HnPageMap::Decode(bytes, HeapBlockHeaderSize(index), offset));
  return Page{index, std::move(bytes), std::move(map)};
}

Result<const Heap::Page*> Heap::LoadPage(std::size_t index) const {
  for (auto it = pages_.begin(); it != pages_.end(); ++it) {
    if (it->index == index) {
      pages_.splice(pages_.begin(), pages_, it);
      return &pages_.front();
    }
  }
  if (index >= block_count_) {
    return Status::Corrupt(Where(*node_) + "heap block " + std::to_string(index) +
                           " past the last of " + std::to_string(block_count_));
  }
  PST_ASSIGN_OR_RETURN(auto bytes, node_->ReadBlock(index));
  auto page = DecodePage(index, std::move(bytes));
  if (!page) return Status::Corrupt(Where(*node_) + page.status().message());
  if (pages_.size() >= kCachedBlocks) pages_.pop_back();
  pages_.push_front(std::move(*page));
  return &pages_.front();
}

Result<std::vector<std::byte>> Heap::Read(HeapId id) const {
  const std::uint32_t index = id.index(layout_);
  if (id.type() != kNidTypeHid || index == 0) {
    return Status::Corrupt(Where(*node_) + "invalid heap id " + std::to_string(id.raw));
  }
  PST_ASSIGN_OR_RETURN(auto page, LoadPage(id.block_index(layout_)));
  const HnPageMap& map = page->map;
  if (index > map.allocation_count()) {
    return Status::Corrupt(Where(*node_) + "heap id " + std::to_string(id.raw) +
                           " past the allocations of its block");
  }
  const std::size_t begin = map.offsets[index - 1];
  const std::size_t end = map.offsets[index];
  const auto& bytes = page->bytes;
  return std::vector<std::byte>(bytes.begin() + begin, bytes.begin() + end);
}

}  // namespace pst::ltp
