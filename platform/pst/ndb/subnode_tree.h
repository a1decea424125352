// Lookups in a node's subnode tree (SIBLOCK over SLBLOCKs). The tree is at most two levels deep and
// every child must be exactly one level below its parent, so no walk can loop.
#pragma once

#include <functional>

#include "platform/pst/ndb/node.h"
#include "platform/pst/ndb/subnode_block.h"
#include "platform/pst/result.h"

namespace pst::ndb {

class NodeDatabase;

// The leaf entry of subnode nid in the tree rooted at root; kNotFound when absent.
Result<SubnodeLeafEntry> FindSubnode(const NodeDatabase& db, BlockId root, NodeId nid);

// Every leaf entry in tree order, until visit returns false.
Status VisitSubnodes(const NodeDatabase& db, BlockId root,
                     const std::function<bool(const SubnodeLeafEntry&)>& visit);

}  // namespace pst::ndb
