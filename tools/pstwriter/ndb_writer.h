// The node database of a new file: owns the output, hands out blocks to the layers above, keeps
// the node B-tree entries, and on Finish writes both B-trees, the allocation maps, the density
// list and the header with its checksums.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/pstwriter/block_writer.h"
#include "tools/pstwriter/btree_writer.h"
#include "tools/pstwriter/file_format.h"
#include "tools/pstwriter/file_sink.h"
#include "tools/pstwriter/file_space.h"

namespace pstwriter {

class NdbWriter {
 public:
  NdbWriter(const std::string& path, FileFormat format, pst::ndb::CryptMethod crypt);

  BlockWriter& blocks() { return blocks_; }
  const FormatTraits& traits() const { return traits_; }

  // Records a top-level node for the node B-tree.
  void AddNode(NodeId nid, NodeBlocks blocks, NodeId parent) {
    nodes_.push_back({nid, blocks, parent});
  }

  // Writes the B-trees, maps and header and closes the file. next_nid_index[t] is the next
  // unused nidIndex of node type t (the header's rgnid).
  void Finish(const std::array<std::uint32_t, 32>& next_nid_index);

 private:
  void WriteMaps();
  void WriteDensityList();
  void WriteHeader(const std::array<std::uint32_t, 32>& rgnid, BlockRef nbt, BlockRef bbt);

  const FormatTraits& traits_;
  pst::ndb::CryptMethod crypt_;
  FileSink sink_;
  FileSpace space_;
  BlockWriter blocks_;
  std::vector<NbtEntry> nodes_;
};

}  // namespace pstwriter
