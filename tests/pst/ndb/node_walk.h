// Test helper: walks every node of a database, reading all data and every subnode, and sums up
// what it met. Used on real files and on damaged copies of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/pst/ndb/node_database.h"

namespace pst::testing {

struct WalkSummary {
  Status visit;  // result of the node B-tree walk itself
  std::size_t nodes = 0;
  std::size_t subnodes = 0;
  std::size_t multi_block_nodes = 0;
  std::size_t failures = 0;  // nodes or subnodes that could not be opened or read
  std::uint64_t bytes = 0;
  std::string first_failure;
};

WalkSummary WalkAll(const ndb::NodeDatabase& db);

}  // namespace pst::testing
