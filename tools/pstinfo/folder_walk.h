// The folder hierarchy of a store, visited depth-first in pre-order from the root folder. A folder
// that cannot be opened is reported and skipped with its subfolders; the walk goes on with its
// siblings. Folders met twice (a damaged hierarchy naming an ancestor) are not visited again.
#pragma once

#include <cstddef>
#include <functional>
#include <set>

#include "platform/pst/messaging/message_store.h"
#include "tools/pstinfo/problem_log.h"

namespace pstinfo {

class FolderWalk {
 public:
  // Deeper folders are reported and not visited.
  static constexpr int kMaxDepth = 256;
  using Visitor = std::function<void(int depth, const pst::messaging::Folder& folder)>;

  FolderWalk(const pst::messaging::MessageStore& store, ProblemLog& problems)
      : store_(store), problems_(problems) {}

  void Run(const Visitor& visit);

 private:
  void Visit(pst::ndb::NodeId id, int depth, const Visitor& visit);

  const pst::messaging::MessageStore& store_;
  ProblemLog& problems_;
  std::set<pst::ndb::NodeId> seen_;
};

// Messages in the folder's contents table. A folder without one has none; a search folder whose
// results are not kept as a table counts its PR_CONTENT_COUNT. A damaged table is reported and
// PR_CONTENT_COUNT (or 0) is returned.
std::size_t MessageCount(const pst::messaging::Folder& folder, ProblemLog& problems);

}  // namespace pstinfo
