// BTPAGE serialisation for the node and block B-trees.
#include "tools/pstwriter/btree_writer.h"

#include <algorithm>

#include "tools/pstwriter/write_error.h"

namespace pstwriter {
namespace {

// A serialised entry and the key its page is found by.
struct Record {
  std::uint64_t key;
  Bytes bytes;
};

BlockRef WritePage(BlockWriter& blocks, PageType type, std::uint8_t level, std::size_t entry_size,
                   std::span<const Record> records) {
  const FormatTraits& t = blocks.traits();
  Bytes page;
  ByteWriter w(page);
  for (const Record& r : records) w.Put(r.bytes);
  w.Zeros(t.bt_entries_size - page.size());
  w.Uint(records.size(), t.bt_count_width);                  // cEnt
  w.Uint(t.bt_entries_size / entry_size, t.bt_count_width);  // cEntMax
  w.U8(std::uint8_t(entry_size));
  w.U8(level);
  w.Zeros(t.bt_meta_padding);
  return blocks.WriteBTreePage(page, type);
}

BlockRef BuildTree(BlockWriter& blocks, PageType type, std::size_t leaf_size,
                   std::vector<Record> level_records) {
  const FormatTraits& t = blocks.traits();
  std::size_t entry_size = leaf_size;
  for (std::uint8_t level = 0;; ++level) {
    std::size_t per_page = t.bt_entries_size / entry_size;
    std::vector<Record> parents;
    for (std::size_t first = 0; first < level_records.size() || first == 0; first += per_page) {
      std::size_t n = std::min(per_page, level_records.size() - first);
      BlockRef ref = WritePage(blocks, type, level, entry_size,
                               std::span<const Record>(level_records).subspan(first, n));
      Record parent{n ? level_records[first].key : 0, {}};
      ByteWriter w(parent.bytes);
      w.Uint(parent.key, t.id_size);
      w.Uint(ref.bid, t.id_size);
      w.Uint(ref.ib, t.id_size);
      parents.push_back(std::move(parent));
      if (n == 0) break;
    }
    if (parents.size() == 1) {
      BlockRef root;
      const Bytes& b = parents.front().bytes;
      for (std::size_t i = 0; i < t.id_size; ++i) {
        root.bid |= std::uint64_t(b[t.id_size + i]) << (8 * i);
        root.ib |= std::uint64_t(b[2 * t.id_size + i]) << (8 * i);
      }
      return root;
    }
    if (level == 0xFF) throw WriteError("B-tree too deep");
    level_records = std::move(parents);
    entry_size = t.bt_branch_entry_size;
  }
}

}  // namespace

BlockRef WriteNodeBTree(BlockWriter& blocks, std::vector<NbtEntry> entries) {
  const FormatTraits& t = blocks.traits();
  std::sort(entries.begin(), entries.end(),
            [](const NbtEntry& a, const NbtEntry& b) { return a.nid < b.nid; });
  std::vector<Record> records;
  records.reserve(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const NbtEntry& e = entries[i];
    if (i > 0 && e.nid == entries[i - 1].nid) throw WriteError("duplicate node id");
    Record r{e.nid, {}};
    ByteWriter w(r.bytes);
    w.Uint(e.nid, t.id_size);
    w.Uint(e.blocks.data, t.id_size);
    w.Uint(e.blocks.subnodes, t.id_size);
    w.U32(e.parent);
    if (t.unicode) w.U32(0);
    records.push_back(std::move(r));
  }
  return BuildTree(blocks, PageType::kNbt, t.nbt_leaf_entry_size, std::move(records));
}

BlockRef WriteBlockBTree(BlockWriter& blocks) {
  const FormatTraits& t = blocks.traits();
  std::vector<BbtEntry> entries = blocks.bbt_entries();
  std::sort(entries.begin(), entries.end(),
            [](const BbtEntry& a, const BbtEntry& b) { return a.ref.bid < b.ref.bid; });
  std::vector<Record> records;
  records.reserve(entries.size());
  for (const BbtEntry& e : entries) {
    Record r{e.ref.bid, {}};
    ByteWriter w(r.bytes);
    w.Uint(e.ref.bid, t.id_size);
    w.Uint(e.ref.ib, t.id_size);
    w.U16(e.cb);
    if (t.compressed_blocks) w.U16(e.inflated);
    w.U16(e.ref_count);
    w.Zeros(t.bbt_leaf_entry_size - r.bytes.size());
    records.push_back(std::move(r));
  }
  return BuildTree(blocks, PageType::kBbt, t.bbt_leaf_entry_size, std::move(records));
}

}  // namespace pstwriter
