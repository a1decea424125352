// A property value in the form the lists-tables-properties layer stores it: a small fixed value,
// a run of bytes, or a stream pulled from a source; plus the per-type sizes that decide where a
// value goes (inline, heap, subnode).
#pragma once

#include <cstdint>

#include "tools/pstwriter/property_bag.h"

namespace pstwriter {

// How the file stores text: UTF-16 (Unicode files) or one code page (ANSI files).
struct TextEncoding {
  bool unicode = true;
  std::uint32_t code_page = 1252;
};

struct LtpValue {
  std::uint16_t type = 0;
  std::uint64_t fixed = 0;
  Bytes bytes;
  const ByteSource* stream = nullptr;  // borrowed; outlives the write

  bool variable() const;
  std::uint64_t size() const { return stream ? stream->size() : bytes.size(); }
};

// Size of a fixed-size type's value (1, 2, 4 or 8), or 0 for variable-size types.
std::size_t FixedSize(std::uint16_t type);

// Converts a builder value for the file; throws WriteError on text the encoding cannot hold.
LtpValue EncodeValue(const PropValue& value, const TextEncoding& encoding);

}  // namespace pstwriter
