// Encoding of property bags for contexts and table rows.
#include "tools/pstwriter/bag_encoding.h"

#include <algorithm>

#include "tools/pstwriter/mapi_tags.h"
#include "tools/pstwriter/table_schemas.h"

namespace pstwriter {
namespace {

std::uint16_t StoredType(const PropValue& value, const TextEncoding& encoding) {
  return std::uint16_t(TagForFile(value.type, encoding.unicode));
}

void SetHasAttachBit(LtpValue& flags) {
  if (flags.type == kPtInt32) flags.fixed |= std::uint32_t(tags::kMsgFlagHasAttach);
}

}  // namespace

void MarkHasAttachments(std::vector<PcProperty>& properties) {
  for (PcProperty& p : properties) {
    if (p.id == tags::kMessageFlags) SetHasAttachBit(p.value);
  }
}

void MarkHasAttachments(const std::vector<std::uint32_t>& columns,
                        std::vector<std::optional<LtpValue>>& cells) {
  for (std::size_t i = 0; i < columns.size() && i < cells.size(); ++i) {
    if ((columns[i] >> 16) == tags::kMessageFlags && cells[i]) SetHasAttachBit(*cells[i]);
  }
}

std::vector<PcProperty> EncodeBag(const PropertyBag& bag, const TextEncoding& encoding) {
  std::vector<PcProperty> out;
  out.reserve(bag.values().size());
  for (const auto& [id, value] : bag.values()) out.push_back({id, EncodeValue(value, encoding)});
  return out;
}

std::vector<std::optional<LtpValue>> CellsFor(const std::vector<std::uint32_t>& columns,
                                              const PropertyBag& bag,
                                              const TextEncoding& encoding) {
  std::vector<std::optional<LtpValue>> cells(columns.size());
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const PropValue* value = bag.Find(std::uint16_t(columns[i] >> 16));
    if (value && StoredType(*value, encoding) == std::uint16_t(columns[i])) {
      cells[i] = EncodeValue(*value, encoding);
    }
  }
  return cells;
}

std::vector<std::uint32_t> ColumnsFor(std::vector<std::uint32_t> columns,
                                      const std::vector<const PropertyBag*>& bags,
                                      const TextEncoding& encoding) {
  for (const PropertyBag* bag : bags) {
    for (const auto& [id, value] : bag->values()) {
      std::uint32_t tag = (std::uint32_t(id) << 16) | StoredType(value, encoding);
      auto same_id = std::find_if(columns.begin(), columns.end(),
                                  [key = id](std::uint32_t c) { return (c >> 16) == key; });
      if (same_id == columns.end())
        columns.push_back(tag);
      else
        *same_id = tag;
    }
  }
  return columns;
}

}  // namespace pstwriter
