// Heap-on-node: the small-allocation heap that property and table contexts keep in a node's data
// blocks, one heap page per block. Blocks are read when first needed and a few are kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <vector>

#include "platform/pst/ltp/heap_format.h"
#include "platform/pst/ndb/node.h"

namespace pst::ltp {

class Heap {
 public:
  // How many decoded heap blocks are kept in memory at once.
  static constexpr std::size_t kCachedBlocks = 8;

  // Opens the heap kept in `node`, which must outlive the heap; `layout` is that of the node's
  // file (HeapIdLayoutFor its variant).
  static Result<Heap> Open(const ndb::Node& node,
                           HeapIdLayout layout = HeapIdLayout::k512BytePages);

  std::uint8_t client_signature() const { return header_.client_signature; }
  HeapId user_root() const { return header_.user_root; }
  std::size_t block_count() const { return block_count_; }
  HeapIdLayout id_layout() const { return layout_; }

  // The bytes of one allocation (a copy).
  Result<std::vector<std::byte>> Read(HeapId id) const;

 private:
  struct Page {
    std::size_t index = 0;
    std::vector<std::byte> bytes;
    HnPageMap map;
  };

  Heap(const ndb::Node* node, HeapIdLayout layout, HnHeader header, std::size_t block_count)
      : node_(node), layout_(layout), header_(header), block_count_(block_count) {}

  Result<const Page*> LoadPage(std::size_t index) const;
  static Result<Page> DecodePage(std::size_t index, std::vector<std::byte> bytes);

  const ndb::Node* node_;
  HeapIdLayout layout_;
  HnHeader header_;
  std::size_t block_count_;
  mutable std::list<Page> pages_;  // most recently used first, at most kCachedBlocks
};

}  // namespace pst::ltp
