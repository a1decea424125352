// Decoding the name-to-id map's streams.
#include "platform/pst/messaging/named_property_map.h"

#include <algorithm>
#include <vector>

#include "platform/pst/ltp/codepage_text.h"
#include "platform/pst/ltp/le_bytes.h"
#include "platform/pst/messaging/property_tags.h"

namespace pst::messaging {

namespace {

constexpr ltp::Guid MakeGuid(std::uint8_t last_of_first_dword) {
  return {std::byte{last_of_first_dword},
          std::byte{0x03},
          std::byte{0x02},
          std::byte{0x00},
          std::byte{0x00},
          std::byte{0x00},
          std::byte{0x00},
          std::byte{0x00},
          std::byte{0xC0},
          std::byte{0x00},
          std::byte{0x00},
          std::byte{0x00},
          std::byte{0x00},
          std::byte{0x00},
          std::byte{0x00},
          std::byte{0x46}};
}

constexpr std::uint16_t kGuidIndexNone = 0;
constexpr std::uint16_t kGuidIndexMapi = 1;
constexpr std::uint16_t kGuidIndexPublicStrings = 2;
constexpr std::uint16_t kFirstStreamGuidIndex = 3;
constexpr std::size_t kNameLengthSize = 4;

Result<std::vector<std::byte>> Stream(const ltp::PropertyContext& pc, ltp::PropTag tag) {
  auto value = pc.Get(tag);
  if (!value) {
    if (value.status().code() == ErrorCode::kNotFound) return std::vector<std::byte>{};
    return value.status();
  }
  return value->bytes();
}

Result<ltp::Guid> GuidAt(std::uint16_t index, ltp::Bytes guids) {
  if (index == kGuidIndexNone) return ltp::Guid{};
  if (index == kGuidIndexMapi) return kPsMapi;
  if (index == kGuidIndexPublicStrings) return kPsPublicStrings;
  const std::size_t at = (std::size_t{index} - kFirstStreamGuidIndex) * NamedPropertyMap::kGuidSize;
  if (!ltp::InBounds(guids.size(), at, NamedPropertyMap::kGuidSize)) {
    return Status::Corrupt("name-to-id map: GUID index " + std::to_string(index) +
                           " past the stream");
  }
  ltp::Guid guid;
  std::copy_n(guids.begin() + at, guid.size(), guid.begin());
  return guid;
}

Result<std::string> NameAt(std::uint32_t offset, ltp::Bytes strings) {
  if (!ltp::InBounds(strings.size(), offset, kNameLengthSize)) {
    return Status::Corrupt("name-to-id map: name offset past the string stream");
  }
  const std::uint32_t length = ltp::LoadU32(strings, offset);
  if (!ltp::InBounds(strings.size(), offset + kNameLengthSize, length)) {
    return Status::Corrupt("name-to-id map: name runs past the string stream");
  }
  return ltp::Utf16LeToUtf8(strings.subspan(offset + kNameLengthSize, length));
}

}  // namespace

const ltp::Guid kPsMapi = MakeGuid(0x28);
const ltp::Guid kPsPublicStrings = MakeGuid(0x29);

Result<NamedPropertyMap> NamedPropertyMap::Load(const ndb::NodeDatabase& db) {
  PST_ASSIGN_OR_RETURN(auto node, db.OpenNode(ndb::kNidNameToIdMap));
  PST_ASSIGN_OR_RETURN(auto pc, ltp::PropertyContext::Open(
                                    std::move(node), ltp::HeapIdLayoutFor(db.header().variant)));
  return FromContext(pc);
}

Result<NamedPropertyMap> NamedPropertyMap::FromContext(const ltp::PropertyContext& pc) {
  PST_ASSIGN_OR_RETURN(auto guids, Stream(pc, tags::kNameIdStreamGuid));
  PST_ASSIGN_OR_RETURN(auto entries, Stream(pc, tags::kNameIdStreamEntry));
  PST_ASSIGN_OR_RETURN(auto strings, Stream(pc, tags::kNameIdStreamString));
  NamedPropertyMap map;
  const ltp::Bytes all(entries);
  for (std::size_t at = 0; at + kEntrySize <= all.size(); at += kEntrySize) {
    const std::uint32_t property = ltp::LoadU32(all, at);
    const std::uint16_t guid_and_kind = ltp::LoadU16(all, at + 4);
    const std::uint16_t index = ltp::LoadU16(all, at + 6);
    if (index >= 0x10000 - kFirstNamedId) continue;  // an id beyond 0xFFFF cannot be used
    NamedProperty named;
    auto guid = GuidAt(guid_and_kind >> 1, guids);
    if (!guid) {
      ++map.damaged_entries_;
      continue;
    }
    named.guid = *guid;
    if (guid_and_kind & 1) {
      auto name = NameAt(property, strings);
      if (!name) {
        ++map.damaged_entries_;
        continue;
      }
      named.name = std::move(*name);
    } else {
      named.number = property;
    }
    map.by_id_[static_cast<std::uint16_t>(kFirstNamedId + index)] = std::move(named);
  }
  return map;
}

const NamedProperty* NamedPropertyMap::Find(std::uint16_t id) const {
  auto it = by_id_.find(id);
  return it == by_id_.end() ? nullptr : &it->second;
}

std::optional<std::uint16_t> NamedPropertyMap::FindId(const ltp::Guid& guid,
                                                      std::uint32_t number) const {
  for (const auto& [id, named] : by_id_) {
    if (named.guid == guid && named.number == number) return id;
  }
  return std::nullopt;
}

std::optional<std::uint16_t> NamedPropertyMap::FindId(const ltp::Guid& guid,
                                                      std::string_view name) const {
  for (const auto& [id, named] : by_id_) {
    if (named.guid == guid && !named.number && named.name == name) return id;
  }
  return std::nullopt;
}

}  // namespace pst::messaging
