// The node database: the lowest layer of the reader. Opens a file, checks its header, and gives
// access to nodes (by id, through the node B-tree) and blocks (through the block B-tree). Reads go
// to the file on demand with pread; only a small page cache is kept, so memory does not grow with
// the file. Damage is reported as a Status naming the node, block or page and offset concerned.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/pst/ndb/block_reader.h"
#include "platform/pst/ndb/btree_entries.h"
#include "platform/pst/ndb/btree_reader.h"
#include "platform/pst/ndb/file_header.h"
#include "platform/pst/ndb/file_source.h"
#include "platform/pst/ndb/integrity_log.h"
#include "platform/pst/ndb/node.h"
#include "platform/pst/ndb/page_cache.h"
#include "platform/pst/result.h"

namespace pst::ndb {

// Well-known node ids.
constexpr NodeId kNidMessageStore = 0x21;  // NID_MESSAGE_STORE
constexpr NodeId kNidNameToIdMap = 0x61;   // NID_NAME_TO_ID_MAP
constexpr NodeId kNidRootFolder = 0x122;   // NID_ROOT_FOLDER

struct NodeDatabaseOptions {
  TraceSink trace;                    // receives one line per checksum or structure warning
  std::size_t page_cache_pages = 64;  // decoded B-tree pages kept
};

class NodeDatabase {
 public:
  static constexpr std::size_t kMaxSubnodeDepth = 64;  // nested subnode trees of one node

  static Result<std::unique_ptr<NodeDatabase>> Open(const std::string& path,
                                                    NodeDatabaseOptions options = {});
  // Opens a file image already in a source (memory images for fuzzing and tests).
  static Result<std::unique_ptr<NodeDatabase>> Open(std::unique_ptr<FileSource> source,
                                                    NodeDatabaseOptions options = {});

  NodeDatabase(const NodeDatabase&) = delete;
  NodeDatabase& operator=(const NodeDatabase&) = delete;

  const FileHeader& header() const { return header_; }
  std::uint64_t file_size() const { return file_->size(); }

  // A top-level node by id: kNotFound when the node B-tree has no such node.
  Result<NodeEntry> FindNode(NodeId nid) const;
  Result<std::unique_ptr<Node>> OpenNode(NodeId nid) const;
  // Every entry of the node B-tree in key order, until visit returns false.
  Status VisitNodes(const std::function<bool(const NodeEntry&)>& visit) const;
  // Every entry of the block B-tree in key order, until visit returns false.
  Status VisitBlocks(const std::function<bool(const BlockEntry&)>& visit) const;

  Result<BlockEntry> FindBlock(BlockId bid) const { return blocks_.Find(bid); }
  // One block's decoded data.
  Result<std::vector<std::byte>> ReadBlock(BlockId bid) const { return blocks_.Read(bid); }
  // Block reading into reused buffers, for nodes that read block after block.
  const BlockReader& block_reader() const { return blocks_; }
  // The file, for reading the stored extents of several adjacent blocks at once.
  const FileSource& file() const { return *file_; }

  // Checksum and signature mismatches met so far (the data was used).
  IntegrityCounts integrity() const { return log_.counts(); }
  IntegrityLog& log() const { return log_; }

 private:
  NodeDatabase(std::unique_ptr<FileSource> file, const FileHeader& header,
               NodeDatabaseOptions options);

  std::unique_ptr<FileSource> file_;
  FileHeader header_;
  // The log and the page cache are shared by every object read from the file and guard themselves
  // (each with its own mutex); the rest is not changed after opening.
  mutable IntegrityLog log_;
  mutable PageCache cache_;
  BTreeReader nbt_;
  BTreeReader bbt_;
  BlockReader blocks_;
};

}  // namespace pst::ndb
