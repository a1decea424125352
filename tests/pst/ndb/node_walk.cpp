// Whole-database walk for tests.
#include "node_walk.h"

#include <vector>

namespace pst::testing {
namespace {

void Fail(WalkSummary& s, const Status& status) {
  if (s.failures++ == 0) s.first_failure = status.message();
}

void ReadNode(const ndb::Node& node, int depth, WalkSummary& s) {
  auto all = node.ReadAll(std::uint64_t{1} << 30);
  if (!all.ok()) return Fail(s, all.status());
  s.bytes += all->size();
  if (node.block_count() > 1) {
    ++s.multi_block_nodes;
    std::vector<std::byte> joined;
    for (std::size_t i = 0; i < node.block_count(); ++i) {
      auto block = node.ReadBlock(i);
      if (!block.ok()) return Fail(s, block.status());
      joined.insert(joined.end(), block->begin(), block->end());
    }
    if (joined != *all) Fail(s, Status::Corrupt("blocks differ from the whole data"));
  }
  auto ids = node.SubnodeIds();
  if (!ids.ok()) return Fail(s, ids.status());
  for (ndb::NodeId id : *ids) {
    auto sub = node.OpenSubnode(id);
    if (!sub.ok()) {
      Fail(s, sub.status());
      continue;
    }
    ++s.subnodes;
    if (depth < 8) ReadNode(**sub, depth + 1, s);
  }
}

}  // namespace

WalkSummary WalkAll(const ndb::NodeDatabase& db) {
  WalkSummary s;
  s.visit = db.VisitNodes([&](const ndb::NodeEntry& e) {
    ++s.nodes;
    auto node = db.OpenNode(e.nid);
    if (!node.ok()) {
      Fail(s, node.status());
    } else {
      ReadNode(**node, 0, s);
    }
    return true;
  });
  return s;
}

}  // namespace pst::testing
