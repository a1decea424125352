// One property value as read from a property or table context: its tag, the bytes as stored, and
// for 8-bit strings the code page that applies to them. Typed accessors check type and size.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/pst/ltp/property_tag.h"
#include "platform/pst/ndb/node.h"
#include "platform/pst/result.h"

namespace pst::ltp {

using Guid = std::array<std::byte, 16>;

// A PT_OBJECT value: the subnode that holds the object and the object's size.
struct ObjectRef {
  ndb::NodeId node = 0;
  std::uint32_t size = 0;
};

class PropertyValue {
 public:
  PropertyValue() = default;
  PropertyValue(PropTag tag, std::vector<std::byte> bytes, std::uint32_t code_page = 0)
      : tag_(tag), bytes_(std::move(bytes)), code_page_(code_page) {}

  PropTag tag() const { return tag_; }
  std::uint16_t type() const { return tag_.type; }
  // The value as stored: little-endian numbers, UTF-16LE or 8-bit text, binary bytes, or the
  // multi-valued layout of the file.
  const std::vector<std::byte>& bytes() const { return bytes_; }
  // The code page of a PT_STRING8 / PT_MV_STRING8 value (0 when none was recorded).
  std::uint32_t code_page() const { return code_page_; }

  Result<std::int16_t> AsInt16() const;  // PT_I2
  Result<std::int32_t> AsInt32() const;  // PT_LONG, PT_ERROR
  Result<bool> AsBool() const;           // PT_BOOLEAN
  Result<float> AsFloat() const;         // PT_FLOAT
  Result<double> AsDouble() const;       // PT_DOUBLE, PT_APPTIME
  Result<std::int64_t> AsInt64() const;  // PT_I8, PT_CURRENCY (scaled by 10000), PT_SYSTIME
  Result<Guid> AsGuid() const;           // PT_CLSID
  Result<ObjectRef> AsObject() const;    // PT_OBJECT
  // Text of a PT_UNICODE or PT_STRING8 value in UTF-8 (PT_STRING8 through its code page, 1252 if
  // none was recorded).
  Result<std::string> AsUtf8() const;

  // Multi-valued types: number of elements and one element as a single value of the base type.
  Result<std::size_t> MultiValueCount() const;
  Result<PropertyValue> MultiValueAt(std::size_t index) const;

 private:
  Status TypeMismatch(const char* wanted) const;
  Result<std::vector<std::byte>> FixedBytes(std::size_t size) const;

  PropTag tag_;
  std::vector<std::byte> bytes_;
  std::uint32_t code_page_ = 0;
};

}  // namespace pst::ltp
