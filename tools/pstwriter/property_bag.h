// Properties of a store, folder, message, recipient or attachment as the builder's user sets them:
// any property id with a typed value. Text is UTF-8 and becomes UTF-16 in Unicode files and the
// store's code page in ANSI files. A property that is not set is simply absent from the file.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tools/pstwriter/byte_source.h"

namespace pstwriter {

// Property types (the low 16 bits of a property tag).
enum PropType : std::uint16_t {
  kPtInt16 = 0x0002,
  kPtInt32 = 0x0003,
  kPtFloat = 0x0004,
  kPtDouble = 0x0005,
  kPtCurrency = 0x0006,
  kPtAppTime = 0x0007,
  kPtError = 0x000A,
  kPtBoolean = 0x000B,
  kPtObject = 0x000D,
  kPtInt64 = 0x0014,
  kPtString8 = 0x001E,
  kPtUnicode = 0x001F,
  kPtSysTime = 0x0040,
  kPtClsid = 0x0048,
  kPtBinary = 0x0102,
  kPtMvUnicode = 0x101F,
};

constexpr std::uint32_t MakeTag(std::uint16_t id, std::uint16_t type) {
  return (std::uint32_t(id) << 16) | type;
}

struct PropValue {
  std::uint16_t type = 0;   // kPtUnicode and kPtMvUnicode mean text in the file's own encoding
  std::uint64_t fixed = 0;  // values of 8 bytes or fewer
  std::vector<std::string> text;             // UTF-8; one element unless multi-valued
  Bytes bytes;                               // binary, GUID, 8-bit text given as bytes
  std::shared_ptr<const ByteSource> stream;  // binary too large to hold in memory
};

class PropertyBag {
 public:
  PropertyBag& SetInt16(std::uint16_t id, std::int16_t v) {
    return Fixed(id, kPtInt16, std::uint16_t(v));
  }
  PropertyBag& SetInt32(std::uint16_t id, std::int32_t v) {
    return Fixed(id, kPtInt32, std::uint32_t(v));
  }
  PropertyBag& SetBool(std::uint16_t id, bool v) { return Fixed(id, kPtBoolean, v ? 1 : 0); }
  PropertyBag& SetInt64(std::uint16_t id, std::int64_t v) {
    return Fixed(id, kPtInt64, std::uint64_t(v));
  }
  PropertyBag& SetDouble(std::uint16_t id, double v);
  // A FILETIME: 100-ns intervals since 1601-01-01 UTC.
  PropertyBag& SetTime(std::uint16_t id, std::uint64_t filetime) {
    return Fixed(id, kPtSysTime, filetime);
  }
  PropertyBag& SetString(std::uint16_t id, std::string utf8);
  PropertyBag& SetMultiString(std::uint16_t id, std::vector<std::string> utf8);
  // 8-bit text stored byte for byte as PT_STRING8 (in either file variant).
  PropertyBag& SetString8(std::uint16_t id, Bytes raw);
  PropertyBag& SetBinary(std::uint16_t id, Bytes data);
  PropertyBag& SetStream(std::uint16_t id, std::shared_ptr<const ByteSource> data);
  PropertyBag& SetGuid(std::uint16_t id, const std::array<std::uint8_t, 16>& guid);
  // Any type, value given as the bytes the file stores (variable-size types only).
  PropertyBag& SetRaw(std::uint16_t id, std::uint16_t type, Bytes data);

  PropertyBag& Set(std::uint16_t id, PropValue value) {
    values_[id] = std::move(value);
    return *this;
  }
  void Remove(std::uint16_t id) { values_.erase(id); }
  const PropValue* Find(std::uint16_t id) const;
  const std::map<std::uint16_t, PropValue>& values() const { return values_; }

 private:
  PropertyBag& Fixed(std::uint16_t id, std::uint16_t type, std::uint64_t v);
  std::map<std::uint16_t, PropValue> values_;
};

}  // namespace pstwriter
