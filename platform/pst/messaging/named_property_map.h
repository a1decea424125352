// The store's name-to-id map: property ids 0x8000 and above stand for named properties, each a
// property set GUID with a number or a string name. Kept in the property context of node 0x61 as a
// GUID stream, an entry stream and a string stream.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/pst/ltp/property_context.h"
#include "platform/pst/ndb/node_database.h"

namespace pst::messaging {

// {00020328-0000-0000-C000-000000000046} and {00020329-0000-0000-C000-000000000046}.
extern const ltp::Guid kPsMapi;
extern const ltp::Guid kPsPublicStrings;

struct NamedProperty {
  ltp::Guid guid{};
  std::optional<std::uint32_t> number;  // set for properties named by number (LID)
  std::string name;                     // UTF-8, for properties named by string
};

class NamedPropertyMap {
 public:
  static constexpr std::uint16_t kFirstNamedId = 0x8000;
  static constexpr std::size_t kEntrySize = 8;  // NAMEID record
  static constexpr std::size_t kGuidSize = 16;

  static Result<NamedPropertyMap> Load(const ndb::NodeDatabase& db);
  static Result<NamedPropertyMap> FromContext(const ltp::PropertyContext& pc);

  std::size_t size() const { return by_id_.size(); }
  // Entries left out because their GUID index or name lay outside the streams.
  std::size_t damaged_entries() const { return damaged_entries_; }
  // The name behind property id `id` (0x8000 and above), nullptr when unknown.
  const NamedProperty* Find(std::uint16_t id) const;
  // The property id of a named property, nullopt when the file has none.
  std::optional<std::uint16_t> FindId(const ltp::Guid& guid, std::uint32_t number) const;
  std::optional<std::uint16_t> FindId(const ltp::Guid& guid, std::string_view name) const;

 private:
  std::map<std::uint16_t, NamedProperty> by_id_;
  std::size_t damaged_entries_ = 0;
};

}  // namespace pst::messaging
