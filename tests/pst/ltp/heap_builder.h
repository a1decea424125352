// Hand-made heaps for tests: lays out allocations in heap blocks with their headers and page maps,
// and builds B-trees-on-heap, property contexts and table contexts from plain descriptions.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tests/pst/ltp/fake_node.h"

namespace pst::testing {

inline void PutLe(ByteVector& out, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::byte>(v >> (8 * i)));
}
inline ByteVector Le16(std::uint16_t v) {
  ByteVector b;
  PutLe(b, v, 2);
  return b;
}
inline ByteVector Le32(std::uint32_t v) {
  ByteVector b;
  PutLe(b, v, 4);
  return b;
}
inline ByteVector Le64(std::uint64_t v) {
  ByteVector b;
  PutLe(b, v, 8);
  return b;
}
inline ByteVector Concat(std::initializer_list<ByteVector> parts) {
  ByteVector all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}
inline ByteVector Ascii(const std::string& s) {
  ByteVector b;
  for (char c : s) b.push_back(static_cast<std::byte>(c));
  return b;
}
inline ByteVector Utf16(const std::u16string& s) {
  ByteVector b;
  for (char16_t c : s) PutLe(b, c, 2);
  return b;
}

inline constexpr std::uint8_t kClientTc = 0x7C;
inline constexpr std::uint8_t kClientBth = 0xB5;
inline constexpr std::uint8_t kClientPc = 0xBC;

class HeapBuilder {
 public:
  // block_shift: where HIDs put the block index (16, or 19 in files with 4 KiB pages).
  explicit HeapBuilder(std::uint8_t client, unsigned block_shift = 16)
      : client_(client), block_shift_(block_shift) {}

  // Adds an allocation to the current block and returns its HID.
  std::uint32_t Add(ByteVector bytes) {
    auto& block = blocks_.back();
    block.push_back(std::move(bytes));
    return (static_cast<std::uint32_t>(blocks_.size() - 1) << block_shift_) |
           (static_cast<std::uint32_t>(block.size()) << 5);
  }
  // Later allocations go to a new block.
  void NextBlock() { blocks_.emplace_back(); }
  void set_user_root(std::uint32_t hid) { user_root_ = hid; }

  std::vector<ByteVector> Build() const {
    std::vector<ByteVector> out;
    for (std::size_t i = 0; i < blocks_.size(); ++i) out.push_back(BuildBlock(i));
    return out;
  }

 private:
  static std::size_t HeaderSize(std::size_t i) {
    if (i == 0) return 12;
    return (i >= 8 && (i - 8) % 128 == 0) ? 66 : 2;
  }

  ByteVector BuildBlock(std::size_t i) const {
    ByteVector data(HeaderSize(i));
    std::vector<std::uint16_t> offsets{static_cast<std::uint16_t>(data.size())};
    for (const auto& a : blocks_[i]) {
      data.insert(data.end(), a.begin(), a.end());
      offsets.push_back(static_cast<std::uint16_t>(data.size()));
    }
    if (data.size() % 2) data.push_back(std::byte{0});
    const auto map_offset = static_cast<std::uint16_t>(data.size());
    PutLe(data, blocks_[i].size(), 2);
    PutLe(data, 0, 2);
    for (auto o : offsets) PutLe(data, o, 2);
    data[0] = static_cast<std::byte>(map_offset);
    data[1] = static_cast<std::byte>(map_offset >> 8);
    if (i == 0) {
      data[2] = std::byte{0xEC};
      data[3] = static_cast<std::byte>(client_);
      for (int k = 0; k < 4; ++k) data[4 + k] = static_cast<std::byte>(user_root_ >> (8 * k));
    }
    return data;
  }

  std::uint8_t client_;
  unsigned block_shift_;
  std::uint32_t user_root_ = 0;
  std::vector<std::vector<ByteVector>> blocks_{1};
};

// A BTH of the given records (already sorted by key). With leaf_capacity below the record count,
// leaves of that many records sit under one intermediate level. Returns the header's HID.
inline std::uint32_t AddBth(HeapBuilder& heap, std::uint8_t key_size, std::uint8_t data_size,
                            const std::vector<std::pair<ByteVector, ByteVector>>& records,
                            std::size_t leaf_capacity = 1000) {
  std::uint32_t root = 0;
  std::uint8_t levels = 0;
  if (records.size() <= leaf_capacity) {
    ByteVector leaf;
    for (const auto& [k, d] : records) leaf = Concat({leaf, k, d});
    if (!records.empty()) root = heap.Add(leaf);
  } else {
    ByteVector index;
    for (std::size_t at = 0; at < records.size(); at += leaf_capacity) {
      ByteVector leaf;
      for (std::size_t i = at; i < std::min(records.size(), at + leaf_capacity); ++i) {
        leaf = Concat({leaf, records[i].first, records[i].second});
      }
      index = Concat({index, records[at].first, Le32(heap.Add(leaf))});
    }
    root = heap.Add(index);
    levels = 1;
  }
  ByteVector header{std::byte{0xB5}, std::byte{key_size}, std::byte{data_size}, std::byte{levels}};
  return heap.Add(Concat({header, Le32(root)}));
}

// One property of a hand-made property context.
struct PcProp {
  enum class Where { kInline, kHeap, kSubnode };
  std::uint16_t id = 0;
  std::uint16_t type = 0;
  ByteVector value;  // inline: the 4 stored bytes; heap/subnode: the value's bytes
  Where where = Where::kHeap;
  ndb::NodeId subnode = 0;
};

// A property context node of the given properties (sorted by id).
inline std::shared_ptr<FakeNodeData> BuildPc(ndb::NodeId id, const std::vector<PcProp>& props) {
  auto node = std::make_shared<FakeNodeData>();
  node->id = id;
  HeapBuilder heap(kClientPc);
  std::vector<std::pair<ByteVector, ByteVector>> records;
  for (const auto& p : props) {
    std::uint32_t stored = 0;
    if (p.where == PcProp::Where::kInline) {
      ByteVector v = p.value;
      v.resize(4);
      stored = static_cast<std::uint32_t>(v[0]) | static_cast<std::uint32_t>(v[1]) << 8 |
               static_cast<std::uint32_t>(v[2]) << 16 | static_cast<std::uint32_t>(v[3]) << 24;
    } else if (p.where == PcProp::Where::kHeap) {
      stored = heap.Add(p.value);
    } else {
      stored = p.subnode;
      auto sub = std::make_shared<FakeNodeData>();
      sub->id = p.subnode;
      sub->blocks.push_back(p.value);
      node->subnodes[p.subnode] = sub;
    }
    records.emplace_back(Le16(p.id), Concat({Le16(p.type), Le32(stored)}));
  }
  heap.set_user_root(AddBth(heap, 2, 6, records));
  node->blocks = heap.Build();
  return node;
}

// A column of a hand-made table: tag, cell offset and size, existence bit.
struct TcColumn {
  std::uint32_t tag = 0;
  std::uint16_t offset = 0;
  std::uint8_t size = 0;
  std::uint8_t bit = 0;
};

// A table context node: TCINFO with the given layout and columns, the rows (raw row bytes) either
// in the heap or in subnode 0x3F (rows_per_block rows a block), and a row index over their ids.
struct TcLayout {
  std::uint16_t end_4byte = 0, end_2byte = 0, end_1byte = 0, row_size = 0;
  std::vector<TcColumn> columns;
};
inline constexpr ndb::NodeId kRowMatrixSubnode = 0x3F;

inline std::shared_ptr<FakeNodeData> BuildTc(ndb::NodeId id, const TcLayout& layout,
                                             const std::vector<ByteVector>& rows,
                                             std::size_t rows_per_block = 0,
                                             HeapBuilder* heap_in = nullptr) {
  auto node = std::make_shared<FakeNodeData>();
  node->id = id;
  HeapBuilder local(kClientTc);
  HeapBuilder& heap = heap_in ? *heap_in : local;
  std::vector<std::pair<ByteVector, ByteVector>> index;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    index.emplace_back(ByteVector(rows[i].begin(), rows[i].begin() + 4), Le32(i));
  }
  std::sort(index.begin(), index.end(), [](const auto& a, const auto& b) {
    for (int k = 3; k >= 0; --k) {
      if (a.first[k] != b.first[k]) return a.first[k] < b.first[k];
    }
    return false;
  });
  const std::uint32_t row_index = AddBth(heap, 4, 4, index);
  std::uint32_t hnid_rows = 0;
  if (rows_per_block == 0) {
    ByteVector all;
    for (const auto& r : rows) all = Concat({all, r});
    if (!rows.empty()) hnid_rows = heap.Add(all);
  } else {
    auto matrix = std::make_shared<FakeNodeData>();
    matrix->id = kRowMatrixSubnode;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (i % rows_per_block == 0) matrix->blocks.emplace_back();
      matrix->blocks.back() = Concat({matrix->blocks.back(), rows[i]});
    }
    node->subnodes[kRowMatrixSubnode] = matrix;
    hnid_rows = kRowMatrixSubnode;
  }
  ByteVector info{std::byte{0x7C}, static_cast<std::byte>(layout.columns.size())};
  info = Concat({info, Le16(layout.end_4byte), Le16(layout.end_2byte), Le16(layout.end_1byte),
                 Le16(layout.row_size), Le32(row_index), Le32(hnid_rows), Le32(0)});
  for (const auto& c : layout.columns) {
    info = Concat({info, Le32(c.tag), Le16(c.offset), ByteVector{std::byte{c.size}},
                   ByteVector{std::byte{c.bit}}});
  }
  heap.set_user_root(heap.Add(info));
  node->blocks = heap.Build();
  return node;
}

}  // namespace pst::testing
