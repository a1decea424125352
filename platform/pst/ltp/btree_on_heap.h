// B-tree-on-heap (BTH): a sorted key/data index kept in heap allocations. Property contexts and the
// row index of table contexts are BTHs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/pst/ltp/heap.h"

namespace pst::ltp {

// BTHHEADER: type, key size, data size, number of intermediate levels, root HID.
struct BthHeader {
  static constexpr std::size_t kSize = 8;
  static constexpr std::uint8_t kType = 0xB5;       // bType
  static constexpr std::uint8_t kMaxDataSize = 32;  // cbEnt limit
  static constexpr std::uint8_t kMaxLevels = 16;    // far beyond what a heap can hold

  std::uint8_t key_size = 0;   // cbKey: 2, 4, 8 or 16
  std::uint8_t data_size = 0;  // cbEnt
  std::uint8_t levels = 0;     // bIdxLevels: 0 when the root is a leaf
  HeapId root;                 // hidRoot: null for an empty tree

  static Result<BthHeader> Decode(Bytes bytes);
};

class BTreeOnHeap {
 public:
  // A leaf record: its key and its data, as stored.
  struct Record {
    std::vector<std::byte> key;
    std::vector<std::byte> data;
  };
  // Called for each leaf record in key order; return false to stop.
  using Visitor = std::function<bool(Bytes key, Bytes data)>;

  // Opens the BTH whose header is the heap allocation `header_id`. The heap must outlive it.
  static Result<BTreeOnHeap> Open(const Heap& heap, HeapId header_id);

  const BthHeader& header() const { return header_; }

  // Visits every leaf record in key order.
  Status ForEach(const Visitor& visit) const;
  // The data of the record whose key equals `key` (key.size() must be cbKey); kNotFound if absent.
  Result<std::vector<std::byte>> Find(Bytes key) const;

 private:
  BTreeOnHeap(const Heap* heap, BthHeader header) : heap_(heap), header_(header) {}

  Result<std::vector<std::byte>> ReadLevel(HeapId id, std::size_t record_size) const;
  Status Walk(HeapId id, int level, const Visitor& visit, bool& go_on) const;

  const Heap* heap_;
  BthHeader header_;
};

// Compares two little-endian unsigned keys of equal size: <0, 0 or >0.
int CompareKeys(Bytes a, Bytes b);

}  // namespace pst::ltp
