// Opening the database and looking up nodes.
#include "platform/pst/ndb/node_database.h"

#include <algorithm>
#include <string>

#include "platform/pst/ndb/data_node.h"
#include "platform/pst/util/hex.h"

namespace pst::ndb {

NodeDatabase::NodeDatabase(std::unique_ptr<FileSource> file, const FileHeader& header,
                           NodeDatabaseOptions options)
    : file_(std::move(file)),
      header_(header),
      log_(std::move(options.trace)),
      cache_(options.page_cache_pages),
      nbt_(*file_, header_.layout(), PageType::kNodeBTree, header_.nbt_root, cache_, log_),
      bbt_(*file_, header_.layout(), PageType::kBlockBTree, header_.bbt_root, cache_, log_),
      blocks_(*file_, header_, bbt_, log_) {}

Result<std::unique_ptr<NodeDatabase>> NodeDatabase::Open(const std::string& path,
                                                         NodeDatabaseOptions options) {
  auto source = FileSource::OpenFile(path);
  PST_RETURN_IF_ERROR(source);
  return Open(std::move(source).value(), std::move(options));
}

Result<std::unique_ptr<NodeDatabase>> NodeDatabase::Open(std::unique_ptr<FileSource> source,
                                                         NodeDatabaseOptions options) {
  std::vector<std::byte> raw(
      static_cast<std::size_t>(std::min<std::uint64_t>(FileHeader::kReadSize, source->size())));
  PST_RETURN_IF_ERROR(source->ReadExact(0, raw));
  auto header = FileHeader::Decode(raw);
  PST_RETURN_IF_ERROR(header);
  std::unique_ptr<NodeDatabase> db(
      new NodeDatabase(std::move(source), *header, std::move(options)));
  if (db->file_size() < header->file_eof) {
    // Cut short (an interrupted copy): what lies before the cut stays readable, reads beyond it
    // fail one by one.
    db->log_.Warning("file truncated: the header records " + std::to_string(header->file_eof) +
                     " bytes, the file has " + std::to_string(db->file_size()));
  }
  // Both roots must be readable pages of the right type: a file whose trees cannot even be entered
  // is refused here rather than failing on every later lookup.
  auto nbt_root = db->nbt_.LoadPage(header->nbt_root);
  PST_RETURN_IF_ERROR(nbt_root);
  auto bbt_root = db->bbt_.LoadPage(header->bbt_root);
  PST_RETURN_IF_ERROR(bbt_root);
  return db;
}

Result<NodeEntry> NodeDatabase::FindNode(NodeId nid) const {
  auto leaf = nbt_.FindLeaf(nid);
  if (leaf.ok()) {
    for (const NodeEntry& e : (*leaf)->nodes()) {
      if (e.nid == nid) return e;
    }
  } else if (leaf.status().code() != ErrorCode::kNotFound) {
    return leaf.status();
  }
  return Status::NotFound("node " + util::Hex(nid) + " does not exist");
}

Result<std::unique_ptr<Node>> NodeDatabase::OpenNode(NodeId nid) const {
  auto entry = FindNode(nid);
  PST_RETURN_IF_ERROR(entry);
  return DataNode::Open(*this, nid, entry->data_bid, entry->subnode_bid, {});
}

Status NodeDatabase::VisitNodes(const std::function<bool(const NodeEntry&)>& visit) const {
  return nbt_.VisitLeaves([&](const BTreePage& page) {
    for (const NodeEntry& e : page.nodes()) {
      if (!visit(e)) return false;
    }
    return true;
  });
}

Status NodeDatabase::VisitBlocks(const std::function<bool(const BlockEntry&)>& visit) const {
  return bbt_.VisitLeaves([&](const BTreePage& page) {
    for (const BlockEntry& e : page.blocks()) {
      if (!visit(e)) return false;
    }
    return true;
  });
}

}  // namespace pst::ndb
