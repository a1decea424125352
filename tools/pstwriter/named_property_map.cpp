// Name-to-id map streams and buckets.
#include "tools/pstwriter/named_property_map.h"

#include <algorithm>

#include "platform/pst/ndb/pst_crc.h"
#include "tools/pstwriter/text_codec.h"
#include "tools/pstwriter/write_error.h"

namespace pstwriter {
namespace {

constexpr std::uint16_t kFirstNamedId = 0x8000;
constexpr std::uint32_t kBucketCount = 251;
constexpr std::uint16_t kBucketCountId = 0x0001;
constexpr std::uint16_t kGuidStreamId = 0x0002;
constexpr std::uint16_t kEntryStreamId = 0x0003;
constexpr std::uint16_t kStringStreamId = 0x0004;
constexpr std::uint16_t kFirstBucketId = 0x1000;
constexpr std::uint32_t kPidLidInternetAccountName = 0x8580;

}  // namespace

const Guid kPsMapi = {0x28, 0x03, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                      0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
const Guid kPsPublicStrings = {0x29, 0x03, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                               0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
const Guid kPsetidCommon = {0x08, 0x20, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00,
                            0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

std::uint16_t NamedPropertyMap::Register(Entry entry) {
  auto key = std::make_tuple(entry.guid, entry.is_string, entry.number, entry.name);
  auto it = ids_.find(key);
  if (it != ids_.end()) return it->second;
  if (entries_.size() >= 0x7FFF) throw WriteError("more than 32,767 named properties");
  std::uint16_t id = std::uint16_t(kFirstNamedId + entries_.size());
  entries_.push_back(std::move(entry));
  ids_[key] = id;
  return id;
}

std::uint16_t NamedPropertyMap::IdFor(const Guid& guid, std::uint32_t number) {
  return Register({guid, false, number, {}});
}

std::uint16_t NamedPropertyMap::IdFor(const Guid& guid, const std::string& name) {
  Utf8ToUtf16le(name);  // refuses malformed names now rather than at the end
  return Register({guid, true, 0, name});
}

PropertyBag NamedPropertyMap::ToProperties() const {
  std::vector<Entry> entries = entries_;
  if (entries.empty()) entries.push_back({kPsetidCommon, false, kPidLidInternetAccountName, {}});

  Bytes guids, records, strings;
  std::vector<Guid> guid_list;
  std::map<std::uint16_t, Bytes> buckets;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Entry& e = entries[i];
    std::uint16_t guid_index;
    if (e.guid == kPsMapi) {
      guid_index = 1;
    } else if (e.guid == kPsPublicStrings) {
      guid_index = 2;
    } else {
      auto at = std::find(guid_list.begin(), guid_list.end(), e.guid);
      if (at == guid_list.end()) {
        guid_list.push_back(e.guid);
        for (std::uint8_t b : e.guid) guids.push_back(std::byte{b});
        at = guid_list.end() - 1;
      }
      guid_index = std::uint16_t(3 + (at - guid_list.begin()));
    }
    std::uint32_t property = e.number;
    std::uint32_t hash_key = e.number;
    if (e.is_string) {
      Bytes name = Utf8ToUtf16le(e.name);
      property = std::uint32_t(strings.size());  // offset of the name in the string stream
      hash_key = pst::util::ComputeCrc(0, name);
      ByteWriter s(strings);
      s.U32(std::uint32_t(name.size()));
      s.Put(name);
      s.Zeros((4 - strings.size() % 4) % 4);
    }
    std::uint16_t guid_field = std::uint16_t((guid_index << 1) | (e.is_string ? 1 : 0));
    Bytes record;
    ByteWriter r(record);
    r.U32(property);
    r.U16(guid_field);
    r.U16(std::uint16_t(i));  // wPropIdx: the id is 0x8000 + wPropIdx
    records.insert(records.end(), record.begin(), record.end());
    std::uint16_t bucket = std::uint16_t(kFirstBucketId + (hash_key ^ guid_field) % kBucketCount);
    buckets[bucket].insert(buckets[bucket].end(), record.begin(), record.end());
  }
  PropertyBag map;
  map.SetInt32(kBucketCountId, std::int32_t(kBucketCount));
  map.SetBinary(kGuidStreamId, guids);
  map.SetBinary(kEntryStreamId, records);
  map.SetBinary(kStringStreamId, strings);
  for (auto& [id, bytes] : buckets) map.SetBinary(id, std::move(bytes));
  return map;
}

}  // namespace pstwriter
