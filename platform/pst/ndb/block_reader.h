// Reads one block by id: finds it in the block B-tree, reads data and trailer, checks that the
// trailer names the block, verifies the checksum, then decodes the data (the file's encoding for
// external blocks, zlib for compressed blocks of 4 KiB-page files).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/pst/ndb/block_buffer.h"
#include "platform/pst/ndb/btree_entries.h"
#include "platform/pst/ndb/btree_reader.h"
#include "platform/pst/ndb/file_header.h"
#include "platform/pst/ndb/file_source.h"
#include "platform/pst/ndb/integrity_log.h"
#include "platform/pst/ndb/node.h"
#include "platform/pst/result.h"

namespace pst::ndb {

// Bit 0x02 of a block id marks internal blocks (data trees, subnode trees), which are never
// encoded.
constexpr BlockId kInternalBlockFlag = 0x02;
inline bool IsInternalBlock(BlockId bid) { return (bid & kInternalBlockFlag) != 0; }
// Bit 0x01 is reserved; block B-tree keys never carry it.
inline BlockId BlockKey(BlockId bid) { return bid & ~BlockId{1}; }

class BlockReader {
 public:
  BlockReader(const FileSource& file, const FileHeader& header, const BTreeReader& bbt,
              IntegrityLog& log)
      : file_(file), header_(header), bbt_(bbt), log_(log) {}

  // The block B-tree entry of bid; kCorrupt when the block is missing (a reference to it exists).
  Result<BlockEntry> Find(BlockId bid) const;
  // The decoded data of bid. A block that cannot be read is also noted in the integrity log: the
  // caller may take the failure as the absence of what the block held.
  Result<std::vector<std::byte>> Read(BlockId bid) const;
  // The decoded data of the block entry describes, into out, whose storage is reused. Failures are
  // logged as by Read.
  Status Read(const BlockEntry& entry, BlockBuffer& out) const;
  // Same for a block whose stored extent (Extent bytes from entry.ref.ib) the caller has already
  // read into io; io is decoded in place.
  Status Decode(const BlockEntry& entry, BlockBuffer& io) const;
  // Bytes the block takes in the file (data, padding, trailer); 0 for a size no block can have.
  std::size_t Extent(const BlockEntry& entry) const;

 private:
  Status Logged(Status status) const;
  Status ReadChecked(const BlockEntry& entry, BlockBuffer& out) const;
  Status DecodeChecked(const BlockEntry& entry, BlockBuffer& io) const;
  Status CheckSize(const BlockEntry& entry) const;
  Status Inflate(const BlockEntry& entry, BlockBuffer& io) const;

  const FileSource& file_;
  const FileHeader& header_;
  const BTreeReader& bbt_;
  IntegrityLog& log_;
};

}  // namespace pst::ndb
