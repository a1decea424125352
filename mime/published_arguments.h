// Reading the packed arguments of published methods: none (empty), one value, or an array of
// values indexed from 0.
#pragma once

#include <string>

#include "support/dispatch/variant.h"

namespace mime {

// The index-th argument; empty when there are fewer.
inline dispatch::TVariant Argument(const dispatch::TVariant& args, std::size_t index) {
  if (args.IsArray()) return index < args.Count() ? args[index] : dispatch::TVariant();
  return index == 0 ? args : dispatch::TVariant();
}

// The bytes of a byte array (or of a string value).
inline std::string ArgumentBytes(const dispatch::TVariant& value) {
  if (!value.IsArray()) return value.ToString();
  std::string bytes;
  bytes.reserve(value.Count());
  for (const dispatch::TVariant& element : value.Elements())
    bytes.push_back(static_cast<char>(element.ToInt()));
  return bytes;
}

}  // namespace mime
