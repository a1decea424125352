// Name-to-id map: numeric and string names under the well-known and stream GUIDs, reverse look-up,
// and entries that point outside their streams.
#include <gtest/gtest.h>

#include "platform/pst/messaging/named_property_map.h"
#include "tests/pst/ltp/heap_builder.h"

namespace pst::messaging {
namespace {

using ltp::prop_type::kBinary;
using testing::ByteVector;
using testing::Concat;
using testing::Le16;
using testing::Le32;
using testing::PcProp;
using testing::Utf16;

// NAMEID: property (number or string offset), GUID index << 1 | is-string, property index.
ByteVector NameId(std::uint32_t property, std::uint16_t guid_index, bool is_string,
                  std::uint16_t index) {
  return Concat(
      {Le32(property), Le16(static_cast<std::uint16_t>(guid_index << 1 | is_string)), Le16(index)});
}

ltp::Guid StreamGuid(std::uint8_t fill) {
  ltp::Guid g;
  g.fill(std::byte{fill});
  return g;
}

Result<NamedPropertyMap> MapOf(const ByteVector& guids, const ByteVector& entries,
                               const ByteVector& strings) {
  auto node = testing::BuildPc(0x61, {{0x0002, kBinary, guids, PcProp::Where::kHeap},
                                      {0x0003, kBinary, entries, PcProp::Where::kSubnode, 0x3F},
                                      {0x0004, kBinary, strings, PcProp::Where::kHeap}});
  auto pc = ltp::PropertyContext::Open(testing::MakeFakeNode(node));
  if (!pc) return pc.status();
  return NamedPropertyMap::FromContext(*pc);
}

TEST(NamedPropertyMap, MapsIdsToGuidAndNumberOrName) {
  const ByteVector guids =
      Concat({ByteVector(16, std::byte{0x11}), ByteVector(16, std::byte{0x22})});
  const ByteVector strings = Concat({Le32(12), Utf16(u"x-spam"), Le32(4), Utf16(u"Kw")});
  const ByteVector entries = Concat({NameId(0x8205, 1, false, 0),    // PS_MAPI, number
                                     NameId(0, 2, true, 1),          // PS_PUBLIC_STRINGS, name
                                     NameId(0x0003, 4, false, 2),    // second stream GUID
                                     NameId(16, 3, true, 0x7FFF)});  // first stream GUID, name
  auto map = MapOf(guids, entries, strings);
  ASSERT_TRUE(map.ok()) << map.status().message();
  EXPECT_EQ(map->size(), 4u);
  const NamedProperty* first = map->Find(0x8000);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->guid, kPsMapi);
  EXPECT_EQ(first->number, 0x8205u);
  EXPECT_EQ(map->Find(0x8001)->guid, kPsPublicStrings);
  EXPECT_EQ(map->Find(0x8001)->name, "x-spam");
  EXPECT_FALSE(map->Find(0x8001)->number.has_value());
  EXPECT_EQ(map->Find(0x8002)->guid, StreamGuid(0x22));
  EXPECT_EQ(map->Find(0xFFFF)->name, "Kw");
  EXPECT_EQ(map->Find(0xFFFF)->guid, StreamGuid(0x11));
  EXPECT_EQ(map->Find(0x8003), nullptr);
  EXPECT_EQ(map->FindId(kPsPublicStrings, "x-spam"), 0x8001);
  EXPECT_EQ(map->FindId(kPsMapi, 0x8205u), 0x8000);
  EXPECT_FALSE(map->FindId(kPsMapi, "x-spam").has_value());
}

TEST(NamedPropertyMap, EntriesPointingOutsideTheStreamsAreLeftOutAndCounted) {
  const ByteVector strings = Concat({Le32(200), Utf16(u"short")});
  const ByteVector entries = Concat({NameId(1, 9, false, 0),    // GUID 9 of none in the stream
                                     NameId(0, 1, true, 1),     // name longer than the stream
                                     NameId(500, 1, true, 2),   // offset past the stream
                                     NameId(7, 1, false, 3)});  // fine
  auto map = MapOf({}, entries, strings);
  ASSERT_TRUE(map.ok());
  EXPECT_EQ(map->size(), 1u);
  EXPECT_EQ(map->damaged_entries(), 3u);
  EXPECT_EQ(map->Find(0x8003)->number, 7u);
}

TEST(NamedPropertyMap, EmptyMapWhenTheStreamsAreAbsent) {
  auto node =
      testing::BuildPc(0x61, {{0x0001, ltp::prop_type::kInt32, Le32(251), PcProp::Where::kInline}});
  auto pc = ltp::PropertyContext::Open(testing::MakeFakeNode(node));
  auto map = NamedPropertyMap::FromContext(*pc);
  ASSERT_TRUE(map.ok());
  EXPECT_EQ(map->size(), 0u);
}

}  // namespace
}  // namespace pst::messaging
