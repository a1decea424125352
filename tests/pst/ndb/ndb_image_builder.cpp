// Test image builder for the node database.
#include "ndb_image_builder.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include <zlib.h>

#include "platform/pst/ndb/pst_crc.h"

namespace pst::testing {
namespace {

constexpr std::uint64_t kBlocksStart = 0x1000;

}  // namespace

std::vector<std::byte> Bytes(std::string_view text) {
  std::vector<std::byte> out(text.size());
  if (!text.empty()) std::memcpy(out.data(), text.data(), text.size());
  return out;
}

std::vector<std::byte> Pattern(std::size_t size, std::uint8_t seed) {
  std::vector<std::byte> out(size);
  std::uint32_t x = seed * 2654435761u + 1;
  for (auto& b : out) {
    x = x * 1103515245u + 12345u;
    b = static_cast<std::byte>(x >> 16);
  }
  return out;
}

void PutLe16(std::vector<std::byte>& out, std::size_t at, std::uint16_t v) {
  out[at] = static_cast<std::byte>(v);
  out[at + 1] = static_cast<std::byte>(v >> 8);
}
void PutLe32(std::vector<std::byte>& out, std::size_t at, std::uint32_t v) {
  PutLe16(out, at, static_cast<std::uint16_t>(v));
  PutLe16(out, at + 2, static_cast<std::uint16_t>(v >> 16));
}
void PutLe64(std::vector<std::byte>& out, std::size_t at, std::uint64_t v) {
  PutLe32(out, at, static_cast<std::uint32_t>(v));
  PutLe32(out, at + 4, static_cast<std::uint32_t>(v >> 32));
}

NdbImageBuilder::NdbImageBuilder(ndb::FormatVariant variant, ndb::CryptMethod crypt)
    : layout_(ndb::FormatLayout::For(variant)), crypt_(crypt) {}

void NdbImageBuilder::PutId(std::vector<std::byte>& out, std::size_t at, std::uint64_t v) const {
  if (layout_.id_size == 4) {
    PutLe32(out, at, static_cast<std::uint32_t>(v));
  } else {
    PutLe64(out, at, v);
  }
}

// Trailers keep id and CRC in this order in the 64-bit layouts and swapped in ANSI files.
void NdbImageBuilder::PutIdAndCrc(std::vector<std::byte>& out, std::size_t at, ndb::BlockId bid,
                                  std::uint32_t crc) const {
  if (layout_.variant == ndb::FormatVariant::kAnsi) {
    PutLe32(out, at, static_cast<std::uint32_t>(bid));
    PutLe32(out, at + 4, crc);
  } else {
    PutLe32(out, at, crc);
    PutLe64(out, at + 4, bid);
  }
}

ndb::BlockId NdbImageBuilder::Store(std::vector<std::byte> stored, bool internal,
                                    std::uint16_t inflated) {
  const ndb::BlockId bid = next_bid_ | (internal ? 2 : 0);
  next_bid_ += 4;
  const std::uint64_t ib = kBlocksStart + blocks_area_.size();
  const std::size_t extent = layout_.BlockExtent(stored.size());
  std::vector<std::byte> block(extent);
  std::copy(stored.begin(), stored.end(), block.begin());
  const std::size_t t = extent - layout_.block_trailer_size;
  const auto cb = static_cast<std::uint16_t>(stored.size());
  PutLe16(block, t, cb);
  PutLe16(block, t + 2, util::ComputeSig(ib, bid));
  PutIdAndCrc(block, t + 4, bid, util::ComputeCrc(0, stored));
  if (layout_.compressed_blocks) {
    PutLe16(block, t + 16, 2);
    PutLe16(block, t + 18, inflated);
  }
  blocks_area_.insert(blocks_area_.end(), block.begin(), block.end());
  blocks_.push_back({bid, ib, cb, inflated});
  return bid;
}

ndb::BlockId NdbImageBuilder::AddDataBlock(std::span<const std::byte> plain, bool compress) {
  std::vector<std::byte> stored(plain.begin(), plain.end());
  if (compress) {
    uLongf n = compressBound(static_cast<uLong>(plain.size()));
    stored.resize(n);
    compress2(reinterpret_cast<Bytef*>(stored.data()), &n,
              reinterpret_cast<const Bytef*>(plain.data()), static_cast<uLong>(plain.size()), 9);
    stored.resize(n);
  }
  // The bid is known only after Store; encode with the bid Store is about to hand out.
  ndb::EncodeBlockData(crypt_, stored, next_bid_);
  return Store(std::move(stored), false, static_cast<std::uint16_t>(plain.size()));
}

ndb::BlockId NdbImageBuilder::AddDataTree(std::uint8_t level,
                                          const std::vector<ndb::BlockId>& children,
                                          std::uint32_t total_size) {
  std::vector<std::byte> raw(8 + children.size() * layout_.id_size);
  raw[0] = std::byte{0x01};
  raw[1] = static_cast<std::byte>(level);
  PutLe16(raw, 2, static_cast<std::uint16_t>(children.size()));
  PutLe32(raw, 4, total_size);
  for (std::size_t i = 0; i < children.size(); ++i)
    PutId(raw, 8 + i * layout_.id_size, children[i]);
  return AddInternalBlock(raw);
}

ndb::BlockId NdbImageBuilder::AddSubnodeLeaf(const std::vector<SubnodeSpec>& entries) {
  const std::size_t w = layout_.id_size, header = w == 4 ? 4 : 8;
  std::vector<std::byte> raw(header + entries.size() * 3 * w);
  raw[0] = std::byte{0x02};
  PutLe16(raw, 2, static_cast<std::uint16_t>(entries.size()));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    PutId(raw, header + i * 3 * w, entries[i].nid);
    PutId(raw, header + i * 3 * w + w, entries[i].data_bid);
    PutId(raw, header + i * 3 * w + 2 * w, entries[i].subnode_bid);
  }
  return AddInternalBlock(raw);
}

ndb::BlockId NdbImageBuilder::AddSubnodeIndex(
    const std::vector<std::pair<ndb::NodeId, ndb::BlockId>>& entries) {
  const std::size_t w = layout_.id_size, header = w == 4 ? 4 : 8;
  std::vector<std::byte> raw(header + entries.size() * 2 * w);
  raw[0] = std::byte{0x02};
  raw[1] = std::byte{0x01};
  PutLe16(raw, 2, static_cast<std::uint16_t>(entries.size()));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    PutId(raw, header + i * 2 * w, entries[i].first);
    PutId(raw, header + i * 2 * w + w, entries[i].second);
  }
  return AddInternalBlock(raw);
}

ndb::BlockId NdbImageBuilder::AddInternalBlock(std::span<const std::byte> raw) {
  return Store(std::vector<std::byte>(raw.begin(), raw.end()), true,
               static_cast<std::uint16_t>(raw.size()));
}

void NdbImageBuilder::AddNode(ndb::NodeId nid, ndb::BlockId data_bid, ndb::BlockId subnode_bid,
                              ndb::NodeId parent) {
  nodes_.push_back({nid, data_bid, subnode_bid, parent});
}

void NdbImageBuilder::AliasBlock(ndb::BlockId alias, ndb::BlockId existing) {
  for (const StoredBlock& b : blocks_) {
    if (b.bid == existing) {
      StoredBlock copy = b;
      copy.bid = alias;
      blocks_.push_back(copy);
      return;
    }
  }
  throw std::logic_error("no such block");
}

std::uint64_t NdbImageBuilder::BlockOffset(ndb::BlockId bid) const {
  for (const StoredBlock& b : blocks_) {
    if (b.bid == bid) return b.ib;
  }
  throw std::logic_error("no such block");
}

// Writes the leaves and upper levels of one B-tree at the end of image; the root page comes back
// through root_bid/root_ib.
void NdbImageBuilder::BuildTree(bool nodes, std::vector<std::byte>& image,
                                std::uint64_t& bid_counter, ndb::BlockId& root_bid,
                                std::uint64_t& root_ib) const {
  const std::size_t w = layout_.id_size;
  struct Entry {
    std::uint64_t key;
    std::vector<std::byte> bytes;
  };
  std::vector<Entry> entries;
  const std::size_t leaf_size = nodes ? 3 * w + 4 + (w == 8 ? 4 : 0)
                                      : 2 * w + (layout_.compressed_blocks ? 8 : (w == 8 ? 8 : 4));
  if (nodes) {
    for (const NodeSpec& n : nodes_) {
      std::vector<std::byte> e(leaf_size);
      PutId(e, 0, n.nid);
      PutId(e, w, n.data);
      PutId(e, 2 * w, n.sub);
      PutLe32(e, 3 * w, n.parent);
      entries.push_back({n.nid, e});
    }
  } else {
    for (const StoredBlock& b : blocks_) {
      std::vector<std::byte> e(leaf_size);
      PutId(e, 0, b.bid);
      PutId(e, w, b.ib);
      PutLe16(e, 2 * w, b.stored);
      if (layout_.compressed_blocks) {
        PutLe16(e, 2 * w + 2, b.inflated);
        PutLe16(e, 2 * w + 4, 1);
      } else {
        PutLe16(e, 2 * w + 2, 1);
      }
      entries.push_back({b.bid, e});
    }
  }
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return a.key < b.key; });
  std::uint8_t level = 0;
  std::size_t entry_size = leaf_size;
  do {
    const std::size_t per_page = layout_.page_entries_size / entry_size;
    std::vector<Entry> parents;
    for (std::size_t first = 0; first < entries.size() || first == 0; first += per_page) {
      const std::size_t count = std::min(per_page, entries.size() - first);
      std::vector<std::byte> page(layout_.page_size);
      for (std::size_t i = 0; i < count; ++i) {
        std::copy(entries[first + i].bytes.begin(), entries[first + i].bytes.end(),
                  page.begin() + static_cast<std::ptrdiff_t>(i * entry_size));
      }
      const std::size_t c = layout_.page_entries_size;
      if (layout_.page_size == 4096) {
        PutLe16(page, c, static_cast<std::uint16_t>(count));
        PutLe16(page, c + 2, static_cast<std::uint16_t>(per_page));
        page[c + 4] = static_cast<std::byte>(entry_size);
        page[c + 5] = static_cast<std::byte>(level);
      } else {
        page[c] = static_cast<std::byte>(count);
        page[c + 1] = static_cast<std::byte>(per_page);
        page[c + 2] = static_cast<std::byte>(entry_size);
        page[c + 3] = static_cast<std::byte>(level);
      }
      const std::uint64_t ib = image.size();
      const ndb::BlockId bid = bid_counter;
      bid_counter += 4;
      const std::size_t t = layout_.page_trailer_offset;
      page[t] = page[t + 1] = static_cast<std::byte>(nodes ? 0x81 : 0x80);
      PutLe16(page, t + 2, util::ComputeSig(ib, bid));
      PutIdAndCrc(page, t + 4, bid, util::ComputeCrc(0, std::span<const std::byte>(page).first(t)));
      image.insert(image.end(), page.begin(), page.end());
      std::vector<std::byte> parent(3 * w);
      PutId(parent, 0, count > 0 ? entries[first].key : 0);
      PutId(parent, w, bid);
      PutId(parent, 2 * w, ib);
      parents.push_back({count > 0 ? entries[first].key : 0, parent});
      root_bid = bid;
      root_ib = ib;
      if (entries.empty()) break;
    }
    entries = std::move(parents);
    entry_size = 3 * w;
    ++level;
  } while (entries.size() > 1);
}

std::vector<std::byte> NdbImageBuilder::Build() const {
  std::vector<std::byte> image(kBlocksStart + blocks_area_.size());
  if (!blocks_area_.empty()) {
    std::memcpy(image.data() + kBlocksStart, blocks_area_.data(), blocks_area_.size());
  }
  image.resize((image.size() + layout_.page_size - 1) / layout_.page_size * layout_.page_size);
  std::uint64_t page_bid = 0x10000;
  ndb::BlockId nbt_bid = 0, bbt_bid = 0;
  std::uint64_t nbt_ib = 0, bbt_ib = 0;
  BuildTree(true, image, page_bid, nbt_bid, nbt_ib);
  BuildTree(false, image, page_bid, bbt_bid, bbt_ib);

  const bool ansi = layout_.variant == ndb::FormatVariant::kAnsi;
  std::memcpy(image.data(), "!BDN", 4);
  PutLe16(image, 8, 0x4D53);  // "SM"
  PutLe16(image, 10, ansi ? 14 : layout_.compressed_blocks ? 36 : 23);
  PutLe16(image, 12, 19);
  image[14] = image[15] = std::byte{1};
  if (ansi) {
    PutLe32(image, 168, static_cast<std::uint32_t>(image.size()));
    PutLe32(image, 184, static_cast<std::uint32_t>(nbt_bid));
    PutLe32(image, 188, static_cast<std::uint32_t>(nbt_ib));
    PutLe32(image, 192, static_cast<std::uint32_t>(bbt_bid));
    PutLe32(image, 196, static_cast<std::uint32_t>(bbt_ib));
    image[460] = std::byte{0x80};
    image[461] = static_cast<std::byte>(crypt_);
  } else {
    PutLe64(image, 184, image.size());
    PutLe64(image, 216, nbt_bid);
    PutLe64(image, 224, nbt_ib);
    PutLe64(image, 232, bbt_bid);
    PutLe64(image, 240, bbt_ib);
    image[512] = std::byte{0x80};
    image[513] = static_cast<std::byte>(crypt_);
  }
  std::span<const std::byte> all(image);
  PutLe32(image, 4, util::ComputeCrc(0, all.subspan(8, 471)));
  if (!ansi) PutLe32(image, 524, util::ComputeCrc(0, all.subspan(8, 516)));
  return image;
}

}  // namespace pst::testing
