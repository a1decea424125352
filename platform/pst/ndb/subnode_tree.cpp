// Subnode tree lookups and walks.
#include "platform/pst/ndb/subnode_tree.h"

#include <string>

#include "platform/pst/ndb/node_database.h"
#include "platform/pst/util/hex.h"

namespace pst::ndb {
namespace {

Result<SubnodeBlock> LoadSubnodeBlock(const NodeDatabase& db, BlockId bid, int want_level) {
  if (!IsInternalBlock(bid)) {
    return Status::Corrupt("subnode tree block " + util::Hex(bid) + " is not an internal block");
  }
  auto data = db.ReadBlock(bid);
  PST_RETURN_IF_ERROR(data);
  auto block = SubnodeBlock::Decode(*data, db.header().layout(), bid);
  PST_RETURN_IF_ERROR(block);
  if (want_level >= 0 && block->level != want_level) {
    return Status::Corrupt("subnode block " + util::Hex(bid) + " has level " +
                           std::to_string(block->level) + ", expected " +
                           std::to_string(want_level));
  }
  return block;
}

}  // namespace

Result<SubnodeLeafEntry> FindSubnode(const NodeDatabase& db, BlockId root, NodeId nid) {
  auto block = LoadSubnodeBlock(db, root, -1);
  PST_RETURN_IF_ERROR(block);
  if (block->level == 1) {
    const SubnodeIndexEntry* chosen = nullptr;
    for (const SubnodeIndexEntry& e : block->index) {
      if (e.nid <= nid && (chosen == nullptr || e.nid >= chosen->nid)) chosen = &e;
    }
    if (chosen == nullptr) return Status::NotFound("subnode " + util::Hex(nid) + " does not exist");
    block = LoadSubnodeBlock(db, chosen->child_bid, 0);
    PST_RETURN_IF_ERROR(block);
  }
  for (const SubnodeLeafEntry& e : block->leaves) {
    if (e.nid == nid) return e;
  }
  return Status::NotFound("subnode " + util::Hex(nid) + " does not exist");
}

Status VisitSubnodes(const NodeDatabase& db, BlockId root,
                     const std::function<bool(const SubnodeLeafEntry&)>& visit) {
  auto block = LoadSubnodeBlock(db, root, -1);
  PST_RETURN_IF_ERROR(block);
  auto visit_leaf = [&](const SubnodeBlock& leaf) {
    for (const SubnodeLeafEntry& e : leaf.leaves) {
      if (!visit(e)) return false;
    }
    return true;
  };
  if (block->level == 0) {
    visit_leaf(*block);
    return Status::Ok();
  }
  for (const SubnodeIndexEntry& e : block->index) {
    auto leaf = LoadSubnodeBlock(db, e.child_bid, 0);
    PST_RETURN_IF_ERROR(leaf);
    if (!visit_leaf(*leaf)) break;
  }
  return Status::Ok();
}

}  // namespace pst::ndb
