// Folder tree listings of the inspector.
#include "tools/pstinfo/tree_report.h"

#include <string>

#include "tools/pstinfo/folder_walk.h"
#include "tools/pstinfo/text_format.h"

namespace pstinfo {

using pst::messaging::Folder;

void PrintTreeLines(const pst::messaging::MessageStore& store, std::ostream& out,
                    ProblemLog& problems) {
  FolderWalk(store, problems).Run([&](int depth, const Folder& folder) {
    const std::string container = folder.container_class();
    out << depth << '\t' << HexId(folder.id()) << '\t' << MessageCount(folder, problems) << '\t'
        << (container.empty() ? std::string("-") : FieldText(container)) << '\t'
        << FieldText(folder.display_name()) << '\n';
  });
}

void PrintTreeOutline(const pst::messaging::MessageStore& store, std::ostream& out,
                      ProblemLog& problems) {
  FolderWalk(store, problems).Run([&](int depth, const Folder& folder) {
    const std::string container = folder.container_class();
    const std::string name = folder.display_name();
    out << std::string(2 * static_cast<std::size_t>(depth) + 2, ' ')
        << (name.empty() ? std::string("(no name)") : FieldText(name)) << "  ["
        << MessageCount(folder, problems) << " messages";
    if (!container.empty()) out << ", " << FieldText(container);
    out << ", " << HexId(folder.id()) << "]\n";
  });
}

}  // namespace pstinfo
