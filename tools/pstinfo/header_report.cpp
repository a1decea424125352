// Header and store facts of the inspector's default report.
#include "tools/pstinfo/header_report.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/pst/messaging/node_ids.h"
#include "tools/pstinfo/text_format.h"

namespace pstinfo {
namespace {

using pst::messaging::MessageStore;
using pst::messaging::NodeType;
using pst::messaging::SpecialFolder;
using pst::ndb::FileHeader;
using pst::ndb::NodeDatabase;

const char* VariantName(pst::ndb::FormatVariant variant) {
  switch (variant) {
    case pst::ndb::FormatVariant::kAnsi:
      return "ANSI";
    case pst::ndb::FormatVariant::kUnicode:
      return "Unicode";
    case pst::ndb::FormatVariant::kUnicode4k:
      return "Unicode, 4 KiB pages";
  }
  return "unknown";
}

const char* EncodingName(pst::ndb::CryptMethod method) {
  switch (method) {
    case pst::ndb::CryptMethod::kNone:
      return "none";
    case pst::ndb::CryptMethod::kPermute:
      return "permute (compressible)";
    case pst::ndb::CryptMethod::kCyclic:
      return "cyclic (high)";
  }
  return "unknown";
}

void Fact(std::ostream& out, const char* name, const std::string& value) {
  out << name << ':' << std::string(22 - std::char_traits<char>::length(name), ' ') << value
      << '\n';
}

void PrintFileFacts(const NodeDatabase& db, std::ostream& out) {
  const FileHeader& h = db.header();
  Fact(out, "Format", VariantName(h.variant));
  Fact(out, "Version",
       std::to_string(h.version) + " (client " + std::to_string(h.client_version) + ")");
  Fact(out, "Kind", h.offline_store ? "offline store (SO)" : "personal folders (SM)");
  Fact(out, "Encoding", EncodingName(h.crypt_method));
  Fact(out, "File size", std::to_string(db.file_size()) + " bytes");
  std::string eof = std::to_string(h.file_eof) + " bytes";
  if (h.file_eof != db.file_size()) eof += " (differs from the file size)";
  Fact(out, "End of file in header", eof);
}

// Counts of the node B-tree by node type, and of the block B-tree.
void PrintCounts(const NodeDatabase& db, std::ostream& out, ProblemLog& problems) {
  std::map<NodeType, std::uint64_t> by_type;
  std::uint64_t nodes = 0;
  pst::Status walked = db.VisitNodes([&](const pst::ndb::NodeEntry& e) {
    ++nodes;
    ++by_type[pst::messaging::TypeOf(e.nid)];
    return true;
  });
  if (!walked.ok()) problems.Report("node B-tree", walked);
  std::uint64_t blocks = 0;
  walked = db.VisitBlocks([&](const pst::ndb::BlockEntry&) { return ++blocks, true; });
  if (!walked.ok()) problems.Report("block B-tree", walked);
  Fact(out, "Nodes",
       std::to_string(nodes) + " (folders " + std::to_string(by_type[NodeType::kNormalFolder]) +
           ", search folders " + std::to_string(by_type[NodeType::kSearchFolder]) + ", messages " +
           std::to_string(by_type[NodeType::kNormalMessage]) + ", associated " +
           std::to_string(by_type[NodeType::kAssociatedMessage]) + ")");
  Fact(out, "Blocks", std::to_string(blocks));
  const pst::ndb::IntegrityCounts integrity = db.integrity();
  Fact(out, "Checksum mismatches", std::to_string(integrity.checksum_mismatches));
  Fact(out, "Signature mismatches", std::to_string(integrity.signature_mismatches));
}

std::string OptionalId(const std::optional<pst::ndb::NodeId>& id) {
  return id ? HexId(*id) : std::string("-");
}

void PrintStoreFacts(const MessageStore& store, std::ostream& out, ProblemLog& problems) {
  Fact(out, "Store name", FieldText(store.display_name()));
  Fact(out, "Record key", HexBytes(store.record_key(), false));
  Fact(out, "Password", store.password_protected() ? "protected" : "none");
  auto subtree = store.IpmSubtreeId();
  if (!subtree) problems.Report("IPM subtree", subtree.status());
  Fact(out, "IPM subtree", subtree ? OptionalId(*subtree) : std::string("?"));
  auto inbox = store.ReceiveFolderFor("IPM.Note");
  if (!inbox) problems.Report("receive-folder table", inbox.status());
  Fact(out, "Inbox", inbox ? OptionalId(*inbox) : std::string("?"));
  Fact(out, "Outbox", OptionalId(store.SpecialFolderId(SpecialFolder::kOutbox)));
  Fact(out, "Sent items", OptionalId(store.SpecialFolderId(SpecialFolder::kSentMail)));
  Fact(out, "Deleted items", OptionalId(store.SpecialFolderId(SpecialFolder::kWastebasket)));
}

}  // namespace

void PrintHeaderReport(const MessageStore& store, const std::string& path, std::ostream& out,
                       ProblemLog& problems) {
  Fact(out, "File", path);
  PrintFileFacts(store.database(), out);
  PrintCounts(store.database(), out, problems);
  PrintStoreFacts(store, out, problems);
}

}  // namespace pstinfo
