// Blocks and pages on their way to the file: ids, encoding of external blocks, trailers with
// checksum and signature, and the block B-tree entries (offset, size, reference count) that
// every written block leaves behind.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/pst/ndb/block_encoding.h"
#include "tools/pstwriter/byte_writer.h"
#include "tools/pstwriter/file_format.h"
#include "tools/pstwriter/file_sink.h"
#include "tools/pstwriter/file_space.h"

namespace pstwriter {

using BlockId = std::uint64_t;

// BREF: a block or page id and its file offset.
struct BlockRef {
  BlockId bid = 0;
  std::uint64_t ib = 0;
};

// One BBTENTRY.
struct BbtEntry {
  BlockRef ref;
  std::uint16_t cb = 0;        // bytes stored
  std::uint16_t inflated = 0;  // bytes after inflating (4 KiB-page files), else cb
  std::uint16_t ref_count = 0;
};

// ptype of PAGETRAILER.
enum class PageType : std::uint8_t {
  kBbt = 0x80,
  kNbt = 0x81,
  kFMap = 0x82,
  kPMap = 0x83,
  kAMap = 0x84,
  kFPMap = 0x85,
  kDList = 0x86,
};

class BlockWriter {
 public:
  BlockWriter(FileSink& sink, FileSpace& space, const FormatTraits& traits,
              pst::ndb::CryptMethod crypt);

  // A data block of the node data stream, encoded with the file's method.
  BlockId WriteExternal(std::span<const std::byte> data);
  // An XBLOCK, XXBLOCK, SLBLOCK or SIBLOCK: never encoded, id marked internal.
  BlockId WriteInternal(std::span<const std::byte> data);
  // A B-tree page: payload of up to page_data_size bytes; returns its BREF.
  BlockRef WriteBTreePage(std::span<const std::byte> payload, PageType type);
  // A page at a fixed offset (maps, density list); bid is the page's own offset.
  void WriteFixedPage(std::uint64_t ib, std::span<const std::byte> payload, PageType type);

  const std::vector<BbtEntry>& bbt_entries() const { return bbt_; }
  BlockId next_block_id() const { return next_bid_; }
  BlockId next_page_id() const { return next_pid_; }
  const FormatTraits& traits() const { return traits_; }
  // Bytes the file can still grow by before its variant cannot address it.
  std::uint64_t remaining_capacity() const { return traits_.max_file_size - space_.file_end(); }

 private:
  BlockId Write(std::span<const std::byte> data, bool internal);
  // The zlib form of data, in compressed_, when the file compresses blocks (4 KiB pages, no
  // encoding) and that form is smaller.
  bool Compress(std::span<const std::byte> data);
  void PatchTrailerTail(std::span<std::byte> out, std::size_t trailer, std::uint16_t sig,
                        std::uint32_t crc, BlockId bid) const;
  Bytes PageBytes(std::uint64_t ib, BlockId bid, std::span<const std::byte> payload, PageType type,
                  bool signed_page) const;

  FileSink& sink_;
  FileSpace& space_;
  const FormatTraits& traits_;
  pst::ndb::CryptMethod crypt_;
  BlockId next_bid_ = 4;
  BlockId next_pid_ = 1;
  std::vector<BbtEntry> bbt_;
  Bytes scratch_;
  Bytes compressed_;
};

}  // namespace pstwriter
