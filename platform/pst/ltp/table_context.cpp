// Table context: TCINFO, the row matrix in the heap or in a subnode, cells and the row index.
#include "platform/pst/ltp/table_context.h"

#include <string>

#include "platform/pst/ltp/btree_on_heap.h"
#include "platform/pst/ltp/hnid_value.h"

namespace pst::ltp {

namespace {

constexpr std::size_t kHnidCellSize = 4;  // variable-size cells hold an HNID

std::string Where(const ndb::Node& node) {
  return "table of node " + std::to_string(node.id()) + ": ";
}

// A fixed-size value kept in the row itself. Some writers give a value a wider cell than its type
// needs (a PT_LONG in 8 bytes); the value is then the cell's first bytes. A cell narrower than its
// type (a PT_CLSID in 4 bytes) holds an HNID instead.
bool IsInlineCell(const TcColumnDescriptor& c) {
  const auto fixed = FixedTypeSize(c.tag.type);
  return !IsMultiValued(c.tag.type) && fixed && *fixed <= c.size;
}

}  // namespace

Result<TableContext> TableContext::Open(std::unique_ptr<ndb::Node> node, HeapIdLayout layout) {
  if (!node) return Status::Corrupt("table: no node");
  PST_ASSIGN_OR_RETURN(auto heap, Heap::Open(*node, layout));
  if (heap.client_signature() != static_cast<std::uint8_t>(HeapClient::kTableContext)) {
    return Status::Corrupt(Where(*node) + "heap does not hold a table context");
  }
  PST_ASSIGN_OR_RETURN(auto info_bytes, heap.Read(heap.user_root()));
  auto info = TcInfo::Decode(info_bytes);
  if (!info) return Status::Corrupt(Where(*node) + info.status().message());
  TableContext tc(std::move(node), std::move(heap), std::move(*info));
  PST_RETURN_IF_ERROR(tc.LocateRows());
  return tc;
}

Status TableContext::LocateRows() {
  const std::size_t row_size = info_.row_size;
  if (info_.rows.is_null()) return Status::Ok();
  if (info_.rows.is_heap_id()) {
    PST_ASSIGN_OR_RETURN(auto rows, heap_.Read(info_.rows.heap_id()));
    heap_rows_ = std::move(rows);
    row_count_ = heap_rows_.size() / row_size;
    return Status::Ok();
  }
  PST_ASSIGN_OR_RETURN(auto sub, node_->OpenSubnode(info_.rows.node_id()));
  matrix_node_ = std::move(sub);
  const std::size_t blocks = matrix_node_->block_count();
  if (blocks == 0) return Status::Ok();
  PST_ASSIGN_OR_RETURN(auto first, MatrixBlock(0));
  rows_per_block_ = first->size() / row_size;
  if (rows_per_block_ == 0) return Status::Corrupt(Where(*node_) + "row matrix block holds no row");
  PST_ASSIGN_OR_RETURN(auto last, MatrixBlock(blocks - 1));
  row_count_ = (blocks - 1) * rows_per_block_ + last->size() / row_size;
  return Status::Ok();
}

Result<const std::vector<std::byte>*> TableContext::MatrixBlock(std::size_t block) const {
  if (!cache_valid_ || cached_block_ != block) {
    cache_valid_ = false;
    PST_ASSIGN_OR_RETURN(auto bytes, matrix_node_->ReadBlock(block));
    cached_bytes_ = std::move(bytes);
    cached_block_ = block;
    cache_valid_ = true;
  }
  return &cached_bytes_;
}

std::optional<std::size_t> TableContext::FindColumn(std::uint16_t id) const {
  for (std::size_t i = 0; i < info_.columns.size(); ++i) {
    if (info_.columns[i].tag.id == id) return i;
  }
  return std::nullopt;
}

Result<TableRow> TableContext::ReadRow(std::size_t index) const {
  const std::size_t row_size = info_.row_size;
  if (index >= row_count_) {
    return Status::NotFound(Where(*node_) + "row " + std::to_string(index) + " past the last");
  }
  Bytes source;
  std::size_t offset = 0;
  if (matrix_node_) {
    PST_ASSIGN_OR_RETURN(auto block, MatrixBlock(index / rows_per_block_));
    source = *block;
    offset = (index % rows_per_block_) * row_size;
  } else {
    source = heap_rows_;
    offset = index * row_size;
  }
  if (!InBounds(source.size(), offset, row_size)) {
    return Status::Corrupt(Where(*node_) + "row " + std::to_string(index) +
                           " lies outside its block");
  }
  auto bytes = source.subspan(offset, row_size);
  return TableRow(index, {bytes.begin(), bytes.end()});
}

bool TableContext::CellExists(const TableRow& row, const TcColumnDescriptor& c) const {
  const auto byte = LoadU8(row.bytes(), info_.end_1byte + c.bit / 8);
  return (byte & (0x80 >> (c.bit % 8))) != 0;
}

Result<std::uint32_t> TableContext::CellHnid(const TableRow& row, std::size_t column) const {
  const TcColumnDescriptor& c = info_.columns.at(column);
  if (!CellExists(row, c)) return Status::NotFound("cell absent");
  if (c.size != kHnidCellSize) return Status::Corrupt(Where(*node_) + "variable cell not 4 bytes");
  return LoadU32(row.bytes(), c.offset);
}

Result<PropertyValue> TableContext::Cell(const TableRow& row, std::size_t column) const {
  if (column >= info_.columns.size()) return Status::NotFound(Where(*node_) + "no such column");
  const TcColumnDescriptor& c = info_.columns[column];
  if (IsInlineCell(c)) {
    if (!CellExists(row, c)) return Status::NotFound("cell absent");
    auto bytes = row.bytes().subspan(c.offset, *FixedTypeSize(c.tag.type));
    return PropertyValue(c.tag, {bytes.begin(), bytes.end()}, code_page_);
  }
  PST_ASSIGN_OR_RETURN(auto hnid, CellHnid(row, column));
  PST_ASSIGN_OR_RETURN(auto bytes, ReadHnid(heap_, *node_, HeapOrNodeId{hnid}));
  Status size_ok = CheckValueSize(c.tag, bytes.size());
  if (!size_ok.ok()) return Status::Corrupt(Where(*node_) + size_ok.message());
  return PropertyValue(c.tag, std::move(bytes), code_page_);
}

Result<PropertyValue> TableContext::CellById(const TableRow& row, std::uint16_t id) const {
  auto column = FindColumn(id);
  if (!column) return Status::NotFound("no such column");
  return Cell(row, *column);
}

Result<ValueStream> TableContext::OpenCellStream(const TableRow& row, std::size_t column) const {
  if (column >= info_.columns.size()) return Status::NotFound(Where(*node_) + "no such column");
  if (IsInlineCell(info_.columns[column])) {
    PST_ASSIGN_OR_RETURN(auto value, Cell(row, column));
    return ValueStream::FromBytes(value.bytes());
  }
  PST_ASSIGN_OR_RETURN(auto hnid, CellHnid(row, column));
  return OpenHnidStream(heap_, *node_, HeapOrNodeId{hnid});
}

Result<std::optional<std::size_t>> TableContext::FindRow(std::uint32_t row_id) const {
  if (info_.row_index.is_null()) return std::optional<std::size_t>();
  PST_ASSIGN_OR_RETURN(auto bth, BTreeOnHeap::Open(heap_, info_.row_index));
  if (bth.header().key_size != 4 || bth.header().data_size > 4) {
    return Status::Corrupt(Where(*node_) + "row index has the wrong record sizes");
  }
  std::byte key[4];
  for (int i = 0; i < 4; ++i) key[i] = static_cast<std::byte>(row_id >> (8 * i));
  auto data = bth.Find(key);
  if (!data) {
    if (data.status().code() == ErrorCode::kNotFound) return std::optional<std::size_t>();
    return data.status();
  }
  std::size_t index = 0;
  for (std::size_t i = 0; i < data->size(); ++i) index |= LoadU8(*data, i) << (8 * i);
  return std::optional<std::size_t>(index);
}

}  // namespace pst::ltp
