// The on-disk records of a table context: TCINFO (row layout and where rows live) and the column
// descriptors (TCOLDESC) that follow it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/pst/ltp/heap_id.h"
#include "platform/pst/ltp/le_bytes.h"
#include "platform/pst/ltp/property_tag.h"
#include "platform/pst/result.h"

namespace pst::ltp {

// TCOLDESC: tag, offset of the cell in the row, cell size, bit in the cell-existence bitmap.
struct TcColumnDescriptor {
  static constexpr std::size_t kSize = 8;
  PropTag tag;
  std::uint16_t offset = 0;  // ibData
  std::uint8_t size = 0;     // cbData
  std::uint8_t bit = 0;      // iBit
};

// TCINFO: type, column count, the four end offsets of the row groups (4-byte cells, 2-byte cells,
// 1-byte cells, bitmap = row size), row index HID, row matrix HNID, then the column descriptors.
struct TcInfo {
  static constexpr std::size_t kFixedSize = 22;
  static constexpr std::uint8_t kType = 0x7C;   // bTypeTC
  static constexpr std::size_t kRowIdSize = 4;  // every row starts with its dwRowID

  std::uint16_t end_4byte = 0;  // rgib[TCI_4b]
  std::uint16_t end_2byte = 0;  // rgib[TCI_2b]
  std::uint16_t end_1byte = 0;  // rgib[TCI_1b]: the cell-existence bitmap starts here
  std::uint16_t row_size = 0;   // rgib[TCI_bm]
  HeapId row_index;             // hidRowIndex
  HeapOrNodeId rows;            // hnidRows
  std::vector<TcColumnDescriptor> columns;

  std::size_t bitmap_size() const { return row_size - end_1byte; }

  // Decodes and checks: offsets in order, every cell inside the data part of the row, every bit
  // inside the bitmap.
  static Result<TcInfo> Decode(Bytes bytes);
};

}  // namespace pst::ltp
