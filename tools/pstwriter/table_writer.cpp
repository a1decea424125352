// Table context serialisation.
#include "tools/pstwriter/table_writer.h"

#include <algorithm>
#include <numeric>

#include "tools/pstwriter/bth_writer.h"
#include "tools/pstwriter/data_tree_writer.h"
#include "tools/pstwriter/property_context_writer.h"
#include "tools/pstwriter/write_error.h"

namespace pstwriter {
namespace {

constexpr std::uint8_t kTableType = 0x7C;
constexpr std::size_t kMaxColumns = 255;

std::uint8_t CellSize(std::uint32_t tag) {
  std::size_t fixed = FixedSize(std::uint16_t(tag));
  return std::uint8_t(fixed == 0 ? 4 : fixed);
}

}  // namespace

TableWriter::TableWriter(SubnodeAllocator& node, std::vector<std::uint32_t> columns)
    : node_(node),
      heap_(HeapClient::kTableContext, node.blocks().traits().max_block_data,
            node.blocks().traits().hid_block_shift) {
  Layout(columns);
}

void TableWriter::Layout(const std::vector<std::uint32_t>& tags) {
  if (tags.size() + 2 > kMaxColumns) throw WriteError("table with more than 255 columns");
  std::vector<std::uint32_t> sorted = tags;
  sorted.push_back(kTagLtpRowId);
  sorted.push_back(kTagLtpRowVer);
  std::sort(sorted.begin(), sorted.end());
  if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) {
    throw WriteError("table column given twice");
  }
  std::uint16_t offset = 8;
  std::uint8_t bit = 2;
  for (std::uint32_t tag : sorted) {
    if (tag == kTagLtpRowId)
      columns_.push_back({tag, 0, 4, 0});
    else if (tag == kTagLtpRowVer)
      columns_.push_back({tag, 4, 4, 1});
    else
      columns_.push_back({tag, 0, CellSize(tag), bit++});
  }
  for (std::uint8_t size : {8, 4, 2, 1}) {
    for (Column& c : columns_) {
      if (c.tag != kTagLtpRowId && c.tag != kTagLtpRowVer && c.size == size) {
        c.offset = offset;
        offset = std::uint16_t(offset + size);
      }
    }
    if (size == 4) end_4b_ = offset;
    if (size == 2) end_2b_ = offset;
    if (size == 1) end_1b_ = offset;
  }
  row_size_ = std::uint16_t(end_1b_ + (columns_.size() + 7) / 8);
  for (std::uint32_t tag : tags) {
    auto it = std::find_if(columns_.begin(), columns_.end(),
                           [tag](const Column& c) { return c.tag == tag; });
    order_.push_back(std::size_t(it - columns_.begin()));
  }
}

void TableWriter::WriteCell(Bytes& row, const Column& column, const LtpValue& value) {
  if (value.type != std::uint16_t(column.tag)) {
    throw WriteError("internal: table cell type does not match its column");
  }
  std::uint64_t v = value.variable() ? StoreVariableValue(heap_, node_, value) : value.fixed;
  PatchUint(row, column.offset, v, column.size);
  row[end_1b_ + column.bit / 8] |= std::byte(0x80 >> (column.bit % 8));
}

void TableWriter::AddRow(std::uint32_t row_id, const std::vector<std::optional<LtpValue>>& cells) {
  if (!node_.blocks().traits().unicode && row_ids_.size() >= 0xFFFF) {
    throw WriteError("an ANSI file's table holds at most 65,535 rows");
  }
  Bytes row(row_size_, std::byte{0});
  LtpValue id{kPtInt32, row_id, {}, nullptr};
  LtpValue version{kPtInt32, 1, {}, nullptr};
  for (const Column& c : columns_) {
    if (c.tag == kTagLtpRowId) WriteCell(row, c, id);
    if (c.tag == kTagLtpRowVer) WriteCell(row, c, version);
  }
  for (std::size_t i = 0; i < cells.size() && i < order_.size(); ++i) {
    if (cells[i]) WriteCell(row, columns_[order_[i]], *cells[i]);
  }
  rows_.insert(rows_.end(), row.begin(), row.end());
  row_ids_.push_back(row_id);
}

BlockId TableWriter::Finish() {
  const FormatTraits& traits = node_.blocks().traits();
  // Row index: (row id -> row number), sorted by row id.
  std::vector<std::uint32_t> order(row_ids_.size());
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(),
            [&](std::uint32_t a, std::uint32_t b) { return row_ids_[a] < row_ids_[b]; });
  Bytes index;
  ByteWriter iw(index);
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (i > 0 && row_ids_[order[i]] == row_ids_[order[i - 1]]) throw WriteError("duplicate row id");
    iw.U32(row_ids_[order[i]]);
    iw.Uint(order[i], traits.row_index_size);
  }
  Hid row_index = WriteBTreeOnHeap(heap_, 4, std::uint8_t(traits.row_index_size), index);

  std::uint32_t rows_ref = 0;
  if (rows_.size() > kMaxHeapAllocation) {
    std::size_t per_block = traits.max_block_data / row_size_;
    std::size_t chunk = per_block * row_size_;
    DataTreeWriter tree(node_.blocks());
    for (std::size_t at = 0; at < rows_.size(); at += chunk) {
      tree.AppendBlock(
          std::span<const std::byte>(rows_).subspan(at, std::min(chunk, rows_.size() - at)));
    }
    rows_ref = node_.NewId(kNidTypeLtp);
    node_.Add(rows_ref, {tree.Finish(), 0});
  } else if (!rows_.empty()) {
    rows_ref = heap_.Allocate(rows_);
  }

  Bytes info;
  ByteWriter w(info);
  w.U8(kTableType);
  w.U8(std::uint8_t(columns_.size()));
  w.U16(end_4b_);
  w.U16(end_2b_);
  w.U16(end_1b_);
  w.U16(row_size_);
  w.U32(row_index);
  w.U32(rows_ref);
  w.U32(0);  // hidIndex
  for (const Column& c : columns_) {
    w.U32(c.tag);
    w.U16(c.offset);
    w.U8(c.size);
    w.U8(c.bit);
  }
  heap_.set_user_root(heap_.Allocate(info));
  DataTreeWriter tree(node_.blocks());
  for (const Bytes& page : heap_.Serialize()) tree.AppendBlock(page);
  return tree.Finish();
}

}  // namespace pstwriter
