// The message listing of the inspector.
#include "tools/pstinfo/message_listing.h"

#include <string>

#include "platform/pst/messaging/property_tags.h"
#include "tools/pstinfo/attachment_digests.h"
#include "tools/pstinfo/folder_walk.h"
#include "tools/pstinfo/text_format.h"

namespace pstinfo {
namespace {

using pst::ErrorCode;
using pst::Result;
using pst::messaging::Folder;
using pst::messaging::MessageStore;
using pst::ndb::NodeId;

// The line of one message, or the status that keeps it out.
Result<std::string> MessageLine(const MessageStore& store, NodeId folder, NodeId id) {
  PST_ASSIGN_OR_RETURN(auto message, store.OpenMessage(id));
  PST_ASSIGN_OR_RETURN(auto attachments, SummarizeAttachments(message));
  const std::string subject =
      pst::messaging::StringProperty(message.properties(), pst::messaging::tags::kSubjectId);
  std::string line = HexId(folder) + '\t' + HexId(id) + '\t' +
                     FieldText(StripSubjectMarker(subject)) + '\t' +
                     std::to_string(attachments.count);
  for (const std::string& digest : attachments.digests) line += '\t' + digest;
  return line;
}

void PrintFolderMessages(const MessageStore& store, const Folder& folder, std::ostream& out,
                         ProblemLog& problems) {
  const std::string where = "folder " + HexId(folder.id());
  auto table = folder.OpenContentsTable();
  if (!table) {
    const ErrorCode code = table.status().code();
    if (code != ErrorCode::kNotFound && code != ErrorCode::kUnsupported) {
      problems.Report(where + " contents table", table.status());
    }
    return;
  }
  for (std::size_t i = 0; i < table->row_count(); ++i) {
    auto row = table->ReadRow(i);
    if (!row) {
      problems.Report(where + " contents row " + std::to_string(i), row.status());
      continue;
    }
    auto line = MessageLine(store, folder.id(), row->row_id());
    if (!line) {
      problems.Report(where + " message " + HexId(row->row_id()), line.status());
      continue;
    }
    out << *line << '\n';
  }
}

}  // namespace

void PrintMessageLines(const MessageStore& store, std::ostream& out, ProblemLog& problems) {
  FolderWalk(store, problems).Run([&](int, const Folder& folder) {
    PrintFolderMessages(store, folder, out, problems);
  });
}

}  // namespace pstinfo
