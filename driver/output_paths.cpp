// Archive file names and the check that outputs do not overwrite the input or each other.
#include "driver/output_paths.h"

#include <utility>
#include <vector>

#include "driver/export_error.h"
#include "platform/os/file_identity.h"
#include "platform/os/path_resolution.h"
#include "platform/os/path_status.h"
#include "platform/os/path_syntax.h"

namespace driver {
namespace {

struct NamedPath {
  const char* role;
  const std::string* path;
};

}  // namespace

std::string ReplaceExtension(std::string_view path, std::string_view extension) {
  std::size_t slash = path.find_last_of(os::kNameBoundaries);
  std::size_t dot = path.rfind('.');
  std::size_t stem_end =
      dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash)
          ? dot
          : path.size();
  std::string result(path.substr(0, stem_end));
  result.append(extension);
  return result;
}

ExportPaths MakeExportPaths(std::string pst, std::string_view destination,
                            std::optional<std::string> folder_list) {
  return {std::move(pst), ReplaceExtension(destination, ".xmz"),
          ReplaceExtension(destination, ".idx"), std::move(folder_list), std::nullopt};
}

bool SameFile(const std::string& a, const std::string& b) {
  const std::string target_a = os::FinalTarget(a);
  const std::string target_b = os::FinalTarget(b);
  const auto identity_a = os::IdentifyFile(target_a);
  const auto identity_b = os::IdentifyFile(target_b);
  if (identity_a && identity_b) return *identity_a == *identity_b;
  return os::SamePathSpelling(target_a, target_b);
}

void CheckOutputsDistinct(const ExportPaths& paths) {
  std::vector<NamedPath> outputs{{"data file", &paths.data}, {"index file", &paths.index}};
  if (paths.folder_list) outputs.push_back({"folder-list file", &*paths.folder_list});
  if (paths.trace) outputs.push_back({"trace file", &*paths.trace});
  std::vector<NamedPath> earlier;
  if (!paths.pst.empty()) earlier.push_back({"PST file", &paths.pst});
  for (const NamedPath& output : outputs) {
    for (const NamedPath& other : earlier) {
      if (SameFile(*output.path, *other.path))
        throw ExportError("Invalid parameters",
                          std::string("The ") + output.role + " \"" + *output.path +
                              "\" names the same file as the " + other.role + " \"" + *other.path +
                              "\"; nothing was written.",
                          kExitInvalidParameters);
    }
    earlier.push_back(output);
  }
}

void CheckInputIsRegularFile(const std::string& pst) {
  // What cannot be looked at is left to the open, which says why.
  const os::PathKind kind = os::StatusOfPath(pst).kind;
  if (kind != os::PathKind::kDirectory && kind != os::PathKind::kOther) return;
  throw ExportError("Import error", "Cannot export \"" + pst + "\": " + pst +
                                        " is not a regular file; nothing was written.");
}

}  // namespace driver
