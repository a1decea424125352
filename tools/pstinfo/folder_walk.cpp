// Depth-first walk of the folder hierarchy.
#include "tools/pstinfo/folder_walk.h"

#include "tools/pstinfo/text_format.h"

namespace pstinfo {

using pst::ErrorCode;
using pst::Status;

void FolderWalk::Run(const Visitor& visit) {
  seen_.clear();
  Visit(pst::ndb::kNidRootFolder, 0, visit);
}

void FolderWalk::Visit(pst::ndb::NodeId id, int depth, const Visitor& visit) {
  const std::string what = "folder " + HexId(id);
  if (!seen_.insert(id).second) {
    problems_.Report(what, Status::Corrupt("named again in the hierarchy (cycle); skipped"));
    return;
  }
  if (depth > kMaxDepth) {
    problems_.Report(what, Status::Limit("nested deeper than " + std::to_string(kMaxDepth)));
    return;
  }
  auto folder = store_.OpenFolder(id);
  if (!folder) {
    problems_.Report(what, folder.status());
    return;
  }
  visit(depth, *folder);
  auto children = folder->SubfolderIds();
  if (!children) {
    if (children.status().code() != ErrorCode::kNotFound) {
      problems_.Report(what + " subfolders", children.status());
    }
    return;
  }
  for (pst::ndb::NodeId child : *children) Visit(child, depth + 1, visit);
}

std::size_t MessageCount(const pst::messaging::Folder& folder, ProblemLog& problems) {
  auto table = folder.OpenContentsTable();
  if (table) return table->row_count();
  const ErrorCode code = table.status().code();
  if (code == ErrorCode::kNotFound) return 0;
  if (code != ErrorCode::kUnsupported) {
    problems.Report("folder " + HexId(folder.id()) + " contents table", table.status());
  }
  const auto stored = folder.content_count();
  return stored && *stored > 0 ? static_cast<std::size_t>(*stored) : 0;
}

}  // namespace pstinfo
