// The store's name-to-id map being filled: each named property (a property-set GUID with a number
// or a string name) gets the next id from 0x8000 once, and the map is written as the property
// context of node 0x61 with its GUID, entry and string streams and hash buckets.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "tools/pstwriter/property_bag.h"

namespace pstwriter {

using Guid = std::array<std::uint8_t, 16>;

// {00020328-0000-0000-C000-000000000046}, {00020329-0000-0000-C000-000000000046} and
// {00062008-0000-0000-C000-000000000046}.
extern const Guid kPsMapi;
extern const Guid kPsPublicStrings;
extern const Guid kPsetidCommon;

class NamedPropertyMap {
 public:
  // The property id of the named property, assigned on first use.
  std::uint16_t IdFor(const Guid& guid, std::uint32_t number);
  std::uint16_t IdFor(const Guid& guid, const std::string& name);

  // The properties of node 0x61. A map without entries gets one (PidLidInternetAccountName), as
  // some readers refuse an empty map.
  PropertyBag ToProperties() const;

 private:
  struct Entry {
    Guid guid;
    bool is_string;
    std::uint32_t number;
    std::string name;
  };
  std::uint16_t Register(Entry entry);

  std::vector<Entry> entries_;  // index i has id 0x8000 + i
  std::map<std::tuple<Guid, bool, std::uint32_t, std::string>, std::uint16_t> ids_;
};

}  // namespace pstwriter
