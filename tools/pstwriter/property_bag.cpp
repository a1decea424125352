// Setters of the property bag.
#include "tools/pstwriter/property_bag.h"

#include <cstring>

namespace pstwriter {

PropertyBag& PropertyBag::Fixed(std::uint16_t id, std::uint16_t type, std::uint64_t v) {
  PropValue value;
  value.type = type;
  value.fixed = v;
  values_[id] = std::move(value);
  return *this;
}

PropertyBag& PropertyBag::SetDouble(std::uint16_t id, double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return Fixed(id, kPtDouble, bits);
}

PropertyBag& PropertyBag::SetString(std::uint16_t id, std::string utf8) {
  PropValue value;
  value.type = kPtUnicode;
  value.text.push_back(std::move(utf8));
  values_[id] = std::move(value);
  return *this;
}

PropertyBag& PropertyBag::SetMultiString(std::uint16_t id, std::vector<std::string> utf8) {
  PropValue value;
  value.type = kPtMvUnicode;
  value.text = std::move(utf8);
  values_[id] = std::move(value);
  return *this;
}

PropertyBag& PropertyBag::SetString8(std::uint16_t id, Bytes raw) {
  return SetRaw(id, kPtString8, std::move(raw));
}

PropertyBag& PropertyBag::SetBinary(std::uint16_t id, Bytes data) {
  return SetRaw(id, kPtBinary, std::move(data));
}

PropertyBag& PropertyBag::SetStream(std::uint16_t id, std::shared_ptr<const ByteSource> data) {
  PropValue value;
  value.type = kPtBinary;
  value.stream = std::move(data);
  values_[id] = std::move(value);
  return *this;
}

PropertyBag& PropertyBag::SetGuid(std::uint16_t id, const std::array<std::uint8_t, 16>& guid) {
  Bytes bytes(16);
  std::memcpy(bytes.data(), guid.data(), 16);
  return SetRaw(id, kPtClsid, std::move(bytes));
}

PropertyBag& PropertyBag::SetRaw(std::uint16_t id, std::uint16_t type, Bytes data) {
  PropValue value;
  value.type = type;
  value.bytes = std::move(data);
  values_[id] = std::move(value);
  return *this;
}

const PropValue* PropertyBag::Find(std::uint16_t id) const {
  auto it = values_.find(id);
  return it == values_.end() ? nullptr : &it->second;
}

}  // namespace pstwriter
