// Table context (TC): the rows of a folder's hierarchy or contents table, a message's recipients or
// attachments. Rows live in a heap allocation or in a subnode's blocks (no row spans two blocks)
// and are read one at a time by index, so a table of any size costs one block of memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/pst/ltp/heap.h"
#include "platform/pst/ltp/property_value.h"
#include "platform/pst/ltp/table_format.h"
#include "platform/pst/ltp/value_stream.h"

namespace pst::ltp {

// One row as stored: its row id (for folder tables the NID of the row's object) and its bytes.
class TableRow {
 public:
  TableRow(std::size_t index, std::vector<std::byte> bytes)
      : index_(index), bytes_(std::move(bytes)) {}
  std::size_t index() const { return index_; }
  std::uint32_t row_id() const { return LoadU32(bytes_, 0); }
  Bytes bytes() const { return bytes_; }

 private:
  std::size_t index_;
  std::vector<std::byte> bytes_;
};

class TableContext {
 public:
  // Opens the table kept in `node`; `layout` is that of the node's file.
  static Result<TableContext> Open(std::unique_ptr<ndb::Node> node,
                                   HeapIdLayout layout = HeapIdLayout::k512BytePages);

  const ndb::Node& node() const { return *node_; }
  const std::vector<TcColumnDescriptor>& columns() const { return info_.columns; }
  // Index of the column with property id `id`, if the table has one.
  std::optional<std::size_t> FindColumn(std::uint16_t id) const;
  std::size_t row_count() const { return row_count_; }

  Result<TableRow> ReadRow(std::size_t index) const;
  // The cell of `column` in `row`; kNotFound when the row's existence bit for it is clear.
  Result<PropertyValue> Cell(const TableRow& row, std::size_t column) const;
  // The cell of the column with property id `id`; kNotFound when no such column or cell.
  Result<PropertyValue> CellById(const TableRow& row, std::uint16_t id) const;
  // A variable-size cell as a stream (values in subnodes stay on disk).
  Result<ValueStream> OpenCellStream(const TableRow& row, std::size_t column) const;
  // The index of the row with row id `row_id`, through the row index; nullopt when absent.
  Result<std::optional<std::size_t>> FindRow(std::uint32_t row_id) const;

  std::uint32_t code_page() const { return code_page_; }
  void set_code_page(std::uint32_t code_page) { code_page_ = code_page; }

 private:
  TableContext(std::unique_ptr<ndb::Node> node, Heap heap, TcInfo info)
      : node_(std::move(node)), heap_(std::move(heap)), info_(std::move(info)) {}

  Status LocateRows();
  Result<const std::vector<std::byte>*> MatrixBlock(std::size_t block) const;
  bool CellExists(const TableRow& row, const TcColumnDescriptor& c) const;
  Result<std::uint32_t> CellHnid(const TableRow& row, std::size_t column) const;

  std::unique_ptr<ndb::Node> node_;
  Heap heap_;
  TcInfo info_;
  std::size_t row_count_ = 0;
  std::size_t rows_per_block_ = 0;
  std::vector<std::byte> heap_rows_;        // the row matrix when it is a heap allocation
  std::unique_ptr<ndb::Node> matrix_node_;  // the row matrix when it is a subnode
  mutable std::size_t cached_block_ = 0;    // last matrix block read, kept for sequential reads
  mutable std::vector<std::byte> cached_bytes_;
  mutable bool cache_valid_ = false;
  std::uint32_t code_page_ = 0;
};

}  // namespace pst::ltp
