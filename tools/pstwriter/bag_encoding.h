// Property bags turned into what the property-context and table writers take.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "tools/pstwriter/ltp_value.h"
#include "tools/pstwriter/property_context_writer.h"

namespace pstwriter {

std::vector<PcProperty> EncodeBag(const PropertyBag& bag, const TextEncoding& encoding);

// The cells of one table row: for each column, the bag's value of that property when the bag has
// it with the column's type.
std::vector<std::optional<LtpValue>> CellsFor(const std::vector<std::uint32_t>& columns,
                                              const PropertyBag& bag, const TextEncoding& encoding);

// columns extended by every property of the bags that they lack; a bag's type wins over the
// schema's for the same property id.
std::vector<std::uint32_t> ColumnsFor(std::vector<std::uint32_t> columns,
                                      const std::vector<const PropertyBag*>& bags,
                                      const TextEncoding& encoding);

// A message with attachments carries the has-attachments bit in its stored flags, as mail clients
// write it: readers look at the attachment table only when the bit is set. A message without
// stored flags keeps none.
void MarkHasAttachments(std::vector<PcProperty>& properties);
void MarkHasAttachments(const std::vector<std::uint32_t>& columns,
                        std::vector<std::optional<LtpValue>>& cells);

}  // namespace pstwriter
