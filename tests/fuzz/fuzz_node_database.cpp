// libFuzzer target: opens the input as a whole file image and walks it twice: every node of the
// node B-tree with all data (whole, by block, by range) and every subnode; then, through the
// messaging layer, the folder tree from the root with every property, table row, message,
// recipient, attachment and embedded message, as an export would.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <unordered_set>
#include <vector>

#include "platform/pst/messaging/message_store.h"
#include "platform/pst/ndb/node_database.h"
#include "platform/pst/rtf/rtf_decompressor.h"

namespace {

constexpr std::uint64_t kMaxRead = 1u << 22;
constexpr int kMaxSubnodeLevels = 4;
constexpr std::size_t kMaxRows = 256;
constexpr std::uint16_t kRtfCompressed = 0x1009;  // PR_RTF_COMPRESSED

std::unique_ptr<pst::ndb::NodeDatabase> OpenImage(const std::uint8_t* data, std::size_t size) {
  std::vector<std::byte> image(size);
  if (size > 0) std::memcpy(image.data(), data, size);
  auto db = pst::ndb::NodeDatabase::Open(pst::ndb::FileSource::FromMemory(std::move(image)));
  return db.ok() ? std::move(db).value() : nullptr;
}

void ExerciseNode(const pst::ndb::Node& node, int depth) {
  (void)node.ReadAll(kMaxRead);
  for (std::size_t i = 0; i < node.block_count() && i < 64; ++i) (void)node.ReadBlock(i);
  std::byte window[300];
  if (node.size() > 0) (void)node.ReadAt(node.size() / 2, window);
  if (depth >= kMaxSubnodeLevels) return;
  auto ids = node.SubnodeIds();
  if (!ids.ok()) return;
  for (std::size_t i = 0; i < ids->size() && i < 256; ++i) {
    auto sub = node.OpenSubnode((*ids)[i]);
    if (sub.ok()) ExerciseNode(**sub, depth + 1);
  }
}

void WalkNodes(const pst::ndb::NodeDatabase& db) {
  std::size_t visited = 0;
  (void)db.VisitNodes([&](const pst::ndb::NodeEntry& e) {
    auto node = db.OpenNode(e.nid);
    if (node.ok()) ExerciseNode(**node, 0);
    return ++visited < 4096;
  });
  (void)db.VisitBlocks([](const pst::ndb::BlockEntry&) { return true; });
}

void ReadStream(const pst::ltp::ValueStream& stream) {
  std::byte buf[4096];
  for (std::uint64_t at = 0; at < stream.size() && at < kMaxRead; at += sizeof(buf)) {
    auto n = stream.ReadAt(at, buf);
    if (!n.ok() || *n == 0) return;
  }
}

void ReadProperties(const pst::ltp::PropertyContext& pc) {
  for (const auto& entry : pc.entries()) {
    (void)pc.Get(entry.tag.id);
    auto stream = pc.OpenStream(entry.tag.id);
    if (stream.ok()) ReadStream(*stream);
  }
  auto rtf = pc.OpenStream(kRtfCompressed);
  if (rtf.ok() && rtf->size() < kMaxRead) {
    std::vector<std::byte> bytes(static_cast<std::size_t>(rtf->size()));
    if (rtf->ReadAt(0, bytes).ok()) (void)pst::rtf::DecompressRtf(bytes);
  }
}

void ReadTable(const pst::ltp::TableContext& table) {
  for (std::size_t i = 0; i < table.row_count() && i < kMaxRows; ++i) {
    auto row = table.ReadRow(i);
    if (!row.ok()) continue;
    for (std::size_t c = 0; c < table.columns().size(); ++c) {
      (void)table.Cell(*row, c);
      auto stream = table.OpenCellStream(*row, c);
      if (stream.ok()) ReadStream(*stream);
    }
  }
}

void WalkMessage(const pst::messaging::Message& message) {
  ReadProperties(message.properties());
  auto recipients = message.OpenRecipientTable();
  if (recipients.ok() && *recipients) ReadTable(**recipients);
  auto attachments = message.OpenAttachmentTable();
  if (attachments.ok() && *attachments) ReadTable(**attachments);
  auto ids = message.AttachmentIds();
  if (!ids.ok()) return;
  for (std::size_t i = 0; i < ids->size() && i < 64; ++i) {
    auto attachment = message.OpenAttachment((*ids)[i]);
    if (!attachment.ok()) continue;
    ReadProperties(attachment->properties());
    auto data = attachment->OpenData();
    if (data.ok()) ReadStream(*data);
    auto embedded = attachment->OpenEmbeddedMessage();
    if (embedded.ok()) WalkMessage(*embedded);
  }
}

void WalkFolders(const pst::messaging::MessageStore& store) {
  ReadProperties(store.properties());
  (void)store.ReceiveFolders();
  (void)store.FindOfflineIpmSubtree();
  (void)store.named_properties();
  std::vector<pst::ndb::NodeId> pending{pst::ndb::kNidRootFolder};
  std::unordered_set<pst::ndb::NodeId> seen;
  while (!pending.empty() && seen.size() < 256) {
    const pst::ndb::NodeId nid = pending.back();
    pending.pop_back();
    if (!seen.insert(nid).second) continue;
    auto folder = store.OpenFolder(nid);
    if (!folder.ok()) continue;
    ReadProperties(folder->properties());
    auto subfolders = folder->SubfolderIds();
    if (subfolders.ok()) pending.insert(pending.end(), subfolders->begin(), subfolders->end());
    auto contents = folder->OpenContentsTable();
    if (!contents.ok()) continue;
    ReadTable(*contents);
    for (std::size_t i = 0; i < contents->row_count() && i < kMaxRows; ++i) {
      auto row = contents->ReadRow(i);
      if (!row.ok()) continue;
      auto message = store.OpenMessage(row->row_id());
      if (message.ok()) WalkMessage(*message);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto db = OpenImage(data, size);
  if (!db) return 0;
  WalkNodes(*db);
  auto store = pst::messaging::MessageStore::Open(OpenImage(data, size));
  if (store.ok()) WalkFolders(**store);
  return 0;
}
