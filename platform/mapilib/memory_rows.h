// Rows held in memory for the tables the library makes itself: the message-stores table of a
// session and the service table of a profile.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "platform/mapilib/table_object.h"

namespace mapilib {

struct MemoryCell {
  ULONG tag;
  std::variant<ULONG, std::string, std::vector<std::byte>>
      value;  // PT_LONG/PT_BOOLEAN, text, binary
};
using MemoryRow = std::vector<MemoryCell>;

class MemoryRows final : public RowSource {
 public:
  explicit MemoryRows(std::vector<MemoryRow> rows) : rows_(std::move(rows)) {}
  std::size_t row_count() const override { return rows_.size(); }
  std::vector<ULONG> DefaultColumns() const override;
  HRESULT FillRow(std::size_t index, std::span<const ULONG> tags, void* parent,
                  SPropValue* out) override;

 private:
  std::vector<MemoryRow> rows_;
};

}  // namespace mapilib
