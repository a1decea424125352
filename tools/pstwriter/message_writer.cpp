// Message, recipient table, attachment table and attachment nodes.
#include "tools/pstwriter/message_writer.h"

#include "tools/pstwriter/bag_encoding.h"
#include "tools/pstwriter/mapi_tags.h"
#include "tools/pstwriter/subnode_allocator.h"
#include "tools/pstwriter/table_schemas.h"
#include "tools/pstwriter/table_writer.h"
#include "tools/pstwriter/write_error.h"

namespace pstwriter {
namespace {

// Writes a table as a subnode of parent: rows from bags, row ids given.
void AddTableSubnode(SubnodeAllocator& parent, NodeId nid,
                     const std::vector<std::uint32_t>& columns,
                     const std::vector<const PropertyBag*>& rows,
                     const std::vector<std::uint32_t>& row_ids, const TextEncoding& encoding) {
  SubnodeAllocator table_node(parent.blocks());
  TableWriter table(table_node, columns);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    table.AddRow(row_ids[i], CellsFor(columns, *rows[i], encoding));
  }
  BlockId data = table.Finish();
  parent.Add(nid, {data, table_node.Finish()});
}

std::optional<std::int32_t> Int32(const PropertyBag& bag, std::uint16_t id) {
  const PropValue* v = bag.Find(id);
  if (!v || v->type != kPtInt32) return std::nullopt;
  return std::int32_t(v->fixed);
}

}  // namespace

TextEncoding MessageWriter::EncodingFor(const PropertyBag& props) const {
  TextEncoding encoding{blocks_.traits().unicode, store_code_page_};
  if (auto cp = Int32(props, tags::kMessageCodepage))
    encoding.code_page = std::uint32_t(*cp);
  else if (auto icp = Int32(props, tags::kInternetCodepage))
    encoding.code_page = std::uint32_t(*icp);
  return encoding;
}

WrittenNode MessageWriter::Write(const Message& message, int depth) {
  if (depth > kMaxEmbeddingDepth) throw WriteError("embedded messages nest more than 32 deep");
  const TextEncoding encoding = EncodingFor(message.props);
  const bool unicode = encoding.unicode;
  SubnodeAllocator node(blocks_);

  std::vector<const PropertyBag*> recipients;
  std::vector<std::uint32_t> recipient_ids;
  for (const PropertyBag& r : message.recipients) {
    recipient_ids.push_back(std::uint32_t(recipients.size()));
    recipients.push_back(&r);
  }
  auto recipient_columns =
      ColumnsFor(ForFile(SchemaColumns(TableKind::kRecipients), unicode), recipients, encoding);
  AddTableSubnode(node, kNidRecipientTable, recipient_columns, recipients, recipient_ids, encoding);

  if (!message.attachments.empty()) {
    std::vector<PropertyBag> rows;
    std::vector<std::uint32_t> attachment_ids;
    for (const Attachment& a : message.attachments) {
      NodeId nid = node.NewId(kNidTypeAttachment);
      node.Add(nid, WriteAttachment(a, encoding, depth).blocks);
      attachment_ids.push_back(nid);
      rows.push_back(a.props);
    }
    std::vector<const PropertyBag*> row_ptrs;
    for (const PropertyBag& r : rows) row_ptrs.push_back(&r);
    AddTableSubnode(node, kNidAttachmentTable,
                    ForFile(SchemaColumns(TableKind::kAttachments), unicode), row_ptrs,
                    attachment_ids, encoding);
  }

  WrittenNode out;
  std::vector<PcProperty> props = EncodeBag(message.props, encoding);
  if (!message.attachments.empty()) MarkHasAttachments(props);
  out.blocks.data = WritePropertyContext(node, std::move(props), &out.size);
  out.blocks.subnodes = node.Finish();
  return out;
}

WrittenNode MessageWriter::WriteAttachment(const Attachment& attachment,
                                           const TextEncoding& encoding, int depth) {
  SubnodeAllocator node(blocks_);
  std::vector<PcProperty> props = EncodeBag(attachment.props, encoding);
  if (attachment.embedded) {
    WrittenNode inner = Write(*attachment.embedded, depth + 1);
    NodeId nid = node.NewId(kNidTypeNormalMessage);
    node.Add(nid, inner.blocks);
    LtpValue object{kPtObject, 0, {}, nullptr};
    ByteWriter w(object.bytes);
    w.U32(nid);
    w.U32(std::uint32_t(inner.size));
    std::erase_if(props, [](const PcProperty& p) { return p.id == tags::kAttachDataBin; });
    props.push_back({tags::kAttachDataBin, std::move(object)});
  }
  WrittenNode out;
  out.blocks.data = WritePropertyContext(node, std::move(props), &out.size);
  out.blocks.subnodes = node.Finish();
  return out;
}

}  // namespace pstwriter
