// A table context filled row by row: the row matrix (in the heap when small, otherwise in a subnode
// with whole rows per block), the row index B-tree, variable-size cells in the heap or subnodes,
// and the cell-existence bitmap of every row.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "tools/pstwriter/heap_builder.h"
#include "tools/pstwriter/ltp_value.h"
#include "tools/pstwriter/subnode_allocator.h"

namespace pstwriter {

constexpr std::uint32_t kTagLtpRowId = 0x67F20003;
constexpr std::uint32_t kTagLtpRowVer = 0x67F30003;

class TableWriter {
 public:
  // columns: the property tags of the table besides the row id and row version, which every
  // table has. Types must be those the file stores (PT_STRING8 text in ANSI files).
  TableWriter(SubnodeAllocator& node, std::vector<std::uint32_t> columns);

  // cells[i] is the value of columns[i] as given to the constructor; absent cells stay unset in
  // the row's bitmap.
  void AddRow(std::uint32_t row_id, const std::vector<std::optional<LtpValue>>& cells);
  // Writes the heap as node data and returns its id.
  BlockId Finish();

  std::size_t row_count() const { return row_ids_.size(); }

 private:
  struct Column {
    std::uint32_t tag;
    std::uint16_t offset;
    std::uint8_t size;
    std::uint8_t bit;
  };
  void Layout(const std::vector<std::uint32_t>& tags);
  void WriteCell(Bytes& row, const Column& column, const LtpValue& value);

  SubnodeAllocator& node_;
  HeapBuilder heap_;
  std::vector<Column> columns_;     // sorted by tag
  std::vector<std::size_t> order_;  // constructor index -> columns_ index
  std::uint16_t end_4b_ = 0, end_2b_ = 0, end_1b_ = 0, row_size_ = 0;
  Bytes rows_;
  std::vector<std::uint32_t> row_ids_;
};

}  // namespace pstwriter
