// Block lookup, verification and decoding.
#include "platform/pst/ndb/block_reader.h"

#include <string>

#include <zlib.h>

#include "platform/pst/ndb/block_encoding.h"
#include "platform/pst/ndb/block_trailer.h"
#include "platform/pst/ndb/pst_crc.h"
#include "platform/pst/util/hex.h"

namespace pst {
namespace {

std::string Where(const BlockEntry& e) {
  return "block " + Hex(e.ref.bid) + " at offset " + Hex(e.ref.ib);
}

}  // namespace

Result<BlockEntry> BlockReader::Find(BlockId bid) const {
  const BlockId key = BlockKey(bid);
  auto leaf = bbt_.FindLeaf(key);
  if (leaf.ok()) {
    for (const BlockEntry& e : (*leaf)->blocks()) {
      if (BlockKey(e.ref.bid) == key) return e;
    }
  } else if (leaf.status().code() != ErrorCode::kNotFound) {
    return leaf.status();
  }
  return Status::Corrupt("block " + Hex(bid) + " is missing from the block B-tree");
}

Result<std::vector<std::byte>> BlockReader::Read(BlockId bid) const {
  auto data = ReadChecked(bid);
  if (!data.ok()) log_.Lost(data.status().message());
  return data;
}

Result<std::vector<std::byte>> BlockReader::ReadChecked(BlockId bid) const {
  auto found = Find(bid);
  PST_RETURN_IF_ERROR(found);
  const BlockEntry& e = *found;
  const FormatLayout& l = header_.layout();
  if (e.stored_size > l.max_block_data()) {
    return Status::Corrupt(Where(e) + ": size " + std::to_string(e.stored_size) + " too large");
  }
  std::vector<std::byte> raw(l.BlockExtent(e.stored_size));
  Status read = file_.ReadExact(e.ref.ib, raw);
  if (!read.ok()) return Status(read.code(), Where(e) + ": " + read.message());

  const BlockTrailer t = BlockTrailer::LoadFromBlockEnd(raw, l);
  if (BlockKey(t.bid) != BlockKey(e.ref.bid)) {
    return Status::Corrupt(Where(e) + ": trailer names block " + Hex(t.bid));
  }
  if (t.stored_size != e.stored_size || t.inflated_size != e.inflated_size) {
    return Status::Corrupt(Where(e) + ": trailer size " + std::to_string(t.stored_size) +
                           " differs from the block B-tree's " + std::to_string(e.stored_size));
  }
  raw.resize(e.stored_size);
  if (ComputeCrc(0, raw) != t.crc) log_.ChecksumMismatch(Where(e));
  if (ComputeSig(e.ref.ib, e.ref.bid) != t.signature) log_.SignatureMismatch(Where(e));
  if (!IsInternalBlock(e.ref.bid)) DecodeBlockData(header_.crypt_method, raw, e.ref.bid);
  if (e.inflated_size != e.stored_size) return Inflate(e, std::move(raw));
  return raw;
}

Result<std::vector<std::byte>> BlockReader::Inflate(const BlockEntry& e,
                                                    std::vector<std::byte> stored) const {
  if (!header_.layout().compressed_blocks) {
    return Status::Corrupt(Where(e) + ": inflated size differs from stored size");
  }
  std::vector<std::byte> out(e.inflated_size);
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return Status::Io("zlib initialisation failed");
  z.next_in = reinterpret_cast<Bytef*>(stored.data());
  z.avail_in = static_cast<uInt>(stored.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int rc = inflate(&z, Z_FINISH);
  const auto produced = z.total_out;
  inflateEnd(&z);
  if (rc != Z_STREAM_END || produced != out.size()) {
    return Status::Corrupt(Where(e) + ": compressed data does not inflate to " +
                           std::to_string(out.size()) + " bytes");
  }
  return out;
}

}  // namespace pst
