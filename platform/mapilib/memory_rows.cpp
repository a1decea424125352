// Values of in-memory rows.
#include "platform/mapilib/memory_rows.h"

#include "platform/mapilib/value_conversion.h"

namespace mapilib {

std::vector<ULONG> MemoryRows::DefaultColumns() const {
  std::vector<ULONG> tags;
  if (!rows_.empty()) {
    for (const auto& cell : rows_.front()) tags.push_back(cell.tag);
  }
  return tags;
}

HRESULT MemoryRows::FillRow(std::size_t index, std::span<const ULONG> tags, void* parent,
                            SPropValue* out) {
  const MemoryRow& row = rows_[index];
  for (std::size_t i = 0; i < tags.size(); ++i) {
    const ULONG tag = tags[i];
    out[i].dwAlignPad = 0;
    SCODE sc = MAPI_E_NOT_FOUND;
    for (const MemoryCell& cell : row) {
      if (PROP_ID(cell.tag) != PROP_ID(tag)) continue;
      if (const auto* number = std::get_if<ULONG>(&cell.value)) {
        out[i].ulPropTag = cell.tag;
        if (PROP_TYPE(cell.tag) == PT_BOOLEAN)
          out[i].Value.b = *number ? 1 : 0;
        else
          out[i].Value.ul = *number;
        sc = S_OK;
      } else if (const auto* text = std::get_if<std::string>(&cell.value)) {
        const ULONG type = PROP_TYPE(tag) == PT_UNICODE ? PT_UNICODE : PT_STRING8;
        sc = SetTextValue(PROP_TAG(type, PROP_ID(tag)), *text, parent, out[i]);
      } else {
        sc = SetBinaryValue(tag, std::get<std::vector<std::byte>>(cell.value), parent, out[i]);
      }
      break;
    }
    if (sc != S_OK) SetErrorValue(tag, sc, out[i]);
  }
  return S_OK;
}

}  // namespace mapilib
