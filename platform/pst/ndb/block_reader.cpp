// Block lookup, verification and decoding.
#include "platform/pst/ndb/block_reader.h"

#include <string>

#include <zlib.h>

#include "platform/pst/ndb/block_encoding.h"
#include "platform/pst/ndb/block_trailer.h"
#include "platform/pst/ndb/pst_crc.h"
#include "platform/pst/util/hex.h"

namespace pst::ndb {
namespace {

std::string Where(const BlockEntry& e) {
  return "block " + util::Hex(e.ref.bid) + " at offset " + util::Hex(e.ref.ib);
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
  return Status::Corrupt("block " + util::Hex(bid) + " is missing from the block B-tree");
}

Result<std::vector<std::byte>> BlockReader::Read(BlockId bid) const {
  auto found = Find(bid);
  if (!found.ok()) return Logged(found.status());
  BlockBuffer data;
  PST_RETURN_IF_ERROR(Read(*found, data));
  return std::vector<std::byte>(data.bytes().begin(), data.bytes().end());
}

Status BlockReader::Read(const BlockEntry& entry, BlockBuffer& out) const {
  return Logged(ReadChecked(entry, out));
}

Status BlockReader::Decode(const BlockEntry& entry, BlockBuffer& io) const {
  return Logged(DecodeChecked(entry, io));
}

std::size_t BlockReader::Extent(const BlockEntry& entry) const {
  if (!CheckSize(entry).ok()) return 0;
  return header_.layout().BlockExtent(entry.stored_size);
}

Status BlockReader::Logged(Status status) const {
  if (!status.ok()) log_.Lost(status.message());
  return status;
}

Status BlockReader::CheckSize(const BlockEntry& e) const {
  if (e.stored_size > header_.layout().max_block_data()) {
    return Status::Corrupt(Where(e) + ": size " + std::to_string(e.stored_size) + " too large");
  }
  return Status::Ok();
}

Status BlockReader::ReadChecked(const BlockEntry& e, BlockBuffer& out) const {
  PST_RETURN_IF_ERROR(CheckSize(e));
  Status read = file_.ReadExact(e.ref.ib, out.Resize(header_.layout().BlockExtent(e.stored_size)));
  if (!read.ok()) return Status(read.code(), Where(e) + ": " + read.message());
  return DecodeChecked(e, out);
}

Status BlockReader::DecodeChecked(const BlockEntry& e, BlockBuffer& io) const {
  PST_RETURN_IF_ERROR(CheckSize(e));
  const FormatLayout& l = header_.layout();
  const BlockTrailer t = BlockTrailer::LoadFromBlockEnd(io.bytes(), l);
  if (BlockKey(t.bid) != BlockKey(e.ref.bid)) {
    return Status::Corrupt(Where(e) + ": trailer names block " + util::Hex(t.bid));
  }
  if (t.stored_size != e.stored_size || t.inflated_size != e.inflated_size) {
    return Status::Corrupt(Where(e) + ": trailer size " + std::to_string(t.stored_size) +
                           " differs from the block B-tree's " + std::to_string(e.stored_size));
  }
  io.Truncate(e.stored_size);
  if (util::ComputeCrc(0, io.bytes()) != t.crc) log_.ChecksumMismatch(Where(e));
  if (util::ComputeSig(e.ref.ib, e.ref.bid) != t.signature) log_.SignatureMismatch(Where(e));
  if (!IsInternalBlock(e.ref.bid)) DecodeBlockData(header_.crypt_method, io.bytes(), e.ref.bid);
  if (e.inflated_size != e.stored_size) return Inflate(e, io);
  return Status::Ok();
}

Status BlockReader::Inflate(const BlockEntry& e, BlockBuffer& io) const {
  if (!header_.layout().compressed_blocks) {
    return Status::Corrupt(Where(e) + ": inflated size differs from stored size");
  }
  std::vector<std::byte> stored(io.bytes().begin(), io.bytes().end());
  std::span<std::byte> out = io.Resize(e.inflated_size);
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
  return Status::Ok();
}

}  // namespace pst::ndb
