// Typed access to property values, including the multi-valued layouts.
#include "platform/pst/ltp/property_value.h"

#include <bit>
#include <cstring>

#include "platform/pst/ltp/codepage_text.h"
#include "platform/pst/ltp/le_bytes.h"

namespace pst::ltp {

namespace {

// Variable-size multi-valued data starts with a 4-byte count and count 4-byte offsets.
constexpr std::size_t kMvCountSize = 4;
constexpr std::size_t kMvOffsetSize = 4;

char HexDigit(unsigned v) { return "0123456789ABCDEF"[v & 0xF]; }

std::string TagText(PropTag tag) {
  std::string s = "property 0x";
  for (int shift = 28; shift >= 0; shift -= 4) s += HexDigit(tag.value() >> shift);
  return s;
}

}  // namespace

Status PropertyValue::TypeMismatch(const char* wanted) const {
  return Status::NotFound(TagText(tag_) + " is not " + wanted);
}

Result<std::vector<std::byte>> PropertyValue::FixedBytes(std::size_t size) const {
  if (bytes_.size() < size) {
    return Status::Corrupt(TagText(tag_) + " holds " + std::to_string(bytes_.size()) +
                           " bytes, fewer than its type needs");
  }
  return std::vector<std::byte>(bytes_.begin(), bytes_.begin() + size);
}

Result<std::int16_t> PropertyValue::AsInt16() const {
  if (type() != prop_type::kInt16) return TypeMismatch("PT_I2");
  PST_ASSIGN_OR_RETURN(auto b, FixedBytes(2));
  return static_cast<std::int16_t>(LoadU16(b, 0));
}

Result<std::int32_t> PropertyValue::AsInt32() const {
  if (type() != prop_type::kInt32 && type() != prop_type::kError) return TypeMismatch("PT_LONG");
  PST_ASSIGN_OR_RETURN(auto b, FixedBytes(4));
  return static_cast<std::int32_t>(LoadU32(b, 0));
}

Result<bool> PropertyValue::AsBool() const {
  if (type() != prop_type::kBoolean) return TypeMismatch("PT_BOOLEAN");
  PST_ASSIGN_OR_RETURN(auto b, FixedBytes(1));
  return LoadU8(b, 0) != 0;
}

Result<float> PropertyValue::AsFloat() const {
  if (type() != prop_type::kFloat) return TypeMismatch("PT_FLOAT");
  PST_ASSIGN_OR_RETURN(auto b, FixedBytes(4));
  return std::bit_cast<float>(LoadU32(b, 0));
}

Result<double> PropertyValue::AsDouble() const {
  if (type() != prop_type::kDouble && type() != prop_type::kAppTime) {
    return TypeMismatch("PT_DOUBLE");
  }
  PST_ASSIGN_OR_RETURN(auto b, FixedBytes(8));
  return std::bit_cast<double>(LoadU64(b, 0));
}

Result<std::int64_t> PropertyValue::AsInt64() const {
  if (type() != prop_type::kInt64 && type() != prop_type::kCurrency &&
      type() != prop_type::kSysTime) {
    return TypeMismatch("PT_I8");
  }
  PST_ASSIGN_OR_RETURN(auto b, FixedBytes(8));
  return static_cast<std::int64_t>(LoadU64(b, 0));
}

Result<Guid> PropertyValue::AsGuid() const {
  if (type() != prop_type::kClsid) return TypeMismatch("PT_CLSID");
  PST_ASSIGN_OR_RETURN(auto b, FixedBytes(16));
  Guid g;
  std::memcpy(g.data(), b.data(), g.size());
  return g;
}

Result<ObjectRef> PropertyValue::AsObject() const {
  if (type() != prop_type::kObject) return TypeMismatch("PT_OBJECT");
  PST_ASSIGN_OR_RETURN(auto b, FixedBytes(8));
  return ObjectRef{LoadU32(b, 0), LoadU32(b, 4)};
}

Result<std::string> PropertyValue::AsUtf8() const {
  if (type() == prop_type::kUnicode) return Utf16LeToUtf8(bytes_);
  if (type() == prop_type::kString8) {
    return CodePageToUtf8(bytes_, code_page_ ? code_page_ : kDefaultCodePage);
  }
  return TypeMismatch("a string");
}

Result<std::size_t> PropertyValue::MultiValueCount() const {
  if (!IsMultiValued(type())) return TypeMismatch("multi-valued");
  if (auto size = FixedTypeSize(BaseType(type()))) {
    if (bytes_.size() % *size != 0) {
      return Status::Corrupt(TagText(tag_) + ": multi-valued data is not whole elements");
    }
    return bytes_.size() / *size;
  }
  if (bytes_.empty()) return std::size_t{0};
  if (bytes_.size() < kMvCountSize) return Status::Corrupt(TagText(tag_) + ": no element count");
  const std::size_t count = LoadU32(bytes_, 0);
  if ((bytes_.size() - kMvCountSize) / kMvOffsetSize < count) {
    return Status::Corrupt(TagText(tag_) + ": element count exceeds the value");
  }
  return count;
}

Result<PropertyValue> PropertyValue::MultiValueAt(std::size_t index) const {
  PST_ASSIGN_OR_RETURN(auto count, MultiValueCount());
  if (index >= count) return Status::NotFound(TagText(tag_) + ": element index out of range");
  const PropTag element{tag_.id, BaseType(type())};
  const Bytes all(bytes_);
  if (auto size = FixedTypeSize(element.type)) {
    auto part = all.subspan(index * *size, *size);
    return PropertyValue(element, {part.begin(), part.end()}, code_page_);
  }
  const std::size_t data_start = kMvCountSize + count * kMvOffsetSize;
  const std::size_t begin = LoadU32(all, kMvCountSize + index * kMvOffsetSize);
  const std::size_t end =
      index + 1 < count ? LoadU32(all, kMvCountSize + (index + 1) * kMvOffsetSize) : all.size();
  if (begin < data_start || begin > end || end > all.size()) {
    return Status::Corrupt(TagText(tag_) + ": element " + std::to_string(index) +
                           " lies outside the value");
  }
  auto part = all.subspan(begin, end - begin);
  return PropertyValue(element, {part.begin(), part.end()}, code_page_);
}

}  // namespace pst::ltp
