// B-tree-on-heap: header decoding, in-order walk and key look-up.
#include "platform/pst/ltp/btree_on_heap.h"

#include <string>

namespace pst::ltp {

Result<BthHeader> BthHeader::Decode(Bytes bytes) {
  if (bytes.size() < kSize) return Status::Corrupt("BTH: header shorter than 8 bytes");
  if (LoadU8(bytes, 0) != kType) return Status::Corrupt("BTH: header has a wrong type byte");
  BthHeader h;
  h.key_size = LoadU8(bytes, 1);
  h.data_size = LoadU8(bytes, 2);
  h.levels = LoadU8(bytes, 3);
  h.root = HeapId{LoadU32(bytes, 4)};
  if (h.key_size != 2 && h.key_size != 4 && h.key_size != 8 && h.key_size != 16) {
    return Status::Corrupt("BTH: key size " + std::to_string(h.key_size) + " is not 2, 4, 8 or 16");
  }
  if (h.data_size == 0 || h.data_size > kMaxDataSize) {
    return Status::Corrupt("BTH: data size " + std::to_string(h.data_size) + " out of range");
  }
  if (h.levels > kMaxLevels) return Status::Corrupt("BTH: implausible number of index levels");
  return h;
}

int CompareKeys(Bytes a, Bytes b) {
  for (std::size_t i = a.size(); i-- > 0;) {
    const auto x = LoadU8(a, i), y = LoadU8(b, i);
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

Result<BTreeOnHeap> BTreeOnHeap::Open(const Heap& heap, HeapId header_id) {
  PST_ASSIGN_OR_RETURN(auto bytes, heap.Read(header_id));
  PST_ASSIGN_OR_RETURN(auto header, BthHeader::Decode(bytes));
  return BTreeOnHeap(&heap, header);
}

Result<std::vector<std::byte>> BTreeOnHeap::ReadLevel(HeapId id, std::size_t record_size) const {
  PST_ASSIGN_OR_RETURN(auto bytes, heap_->Read(id));
  if (bytes.size() % record_size != 0) {
    return Status::Corrupt("BTH: node of " + std::to_string(bytes.size()) +
                           " bytes is not a whole number of " + std::to_string(record_size) +
                           "-byte records");
  }
  return bytes;
}

Status BTreeOnHeap::Walk(HeapId id, int level, const Visitor& visit, bool& go_on) const {
  const std::size_t key = header_.key_size;
  const std::size_t record = key + (level > 0 ? 4 : header_.data_size);
  PST_ASSIGN_OR_RETURN(auto bytes, ReadLevel(id, record));
  const Bytes all(bytes);
  for (std::size_t at = 0; at < all.size() && go_on; at += record) {
    if (level > 0) {
      PST_RETURN_IF_ERROR(Walk(HeapId{LoadU32(all, at + key)}, level - 1, visit, go_on));
    } else {
      go_on = visit(all.subspan(at, key), all.subspan(at + key, header_.data_size));
    }
  }
  return Status::Ok();
}

Status BTreeOnHeap::ForEach(const Visitor& visit) const {
  if (header_.root.is_null()) return Status::Ok();
  bool go_on = true;
  return Walk(header_.root, header_.levels, visit, go_on);
}

Result<std::vector<std::byte>> BTreeOnHeap::Find(Bytes key) const {
  if (key.size() != header_.key_size) return Status::NotFound("BTH: key of the wrong size");
  HeapId id = header_.root;
  for (int level = header_.levels; !id.is_null(); --level) {
    const std::size_t record = key.size() + (level > 0 ? 4 : header_.data_size);
    PST_ASSIGN_OR_RETURN(auto bytes, ReadLevel(id, record));
    const Bytes all(bytes);
    if (level == 0) {
      for (std::size_t at = 0; at < all.size(); at += record) {
        if (CompareKeys(all.subspan(at, key.size()), key) == 0) {
          auto data = all.subspan(at + key.size(), header_.data_size);
          return std::vector<std::byte>(data.begin(), data.end());
        }
      }
      break;
    }
    // The child to descend into is the last whose first key is not above the key sought.
    HeapId next;
    for (std::size_t at = 0; at < all.size(); at += record) {
      if (CompareKeys(all.subspan(at, key.size()), key) > 0) break;
      next = HeapId{LoadU32(all, at + key.size())};
    }
    id = next;
  }
  return Status::NotFound("BTH: no record with the key sought");
}

}  // namespace pst::ltp
