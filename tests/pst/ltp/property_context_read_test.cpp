// Property contexts: every storage place (inline, heap, subnode) and every type family, streams
// over large values, and damaged contexts that fail for the property concerned.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/pst/ltp/property_context.h"
#include "tests/pst/ltp/heap_builder.h"

namespace pst::ltp {
namespace {

using testing::Ascii;
using testing::ByteVector;
using testing::Concat;
using testing::Le16;
using testing::Le32;
using testing::Le64;
using testing::PcProp;
using testing::Utf16;
using Where = PcProp::Where;

ByteVector LargeBody() {
  ByteVector body(20000);
  for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<std::byte>(i * 7);
  return body;
}

std::vector<PcProp> AllKinds() {
  return {
      {0x0017, prop_type::kInt32, Le32(2), Where::kInline},  // importance
      {0x0037, prop_type::kUnicode, Utf16(u"Hello \u00e9t\u00e9"), Where::kHeap},
      {0x0039, prop_type::kSysTime, Le64(0x01D0000012345678ull), Where::kHeap},
      {0x0057, prop_type::kBoolean, {std::byte{1}, {}, {}, {}}, Where::kInline},
      {0x0070, prop_type::kString8, Ascii("caf\xE9"), Where::kHeap},
      {0x1000, prop_type::kUnicode, Utf16(u"body"), Where::kSubnode, 0x8F},
      {0x1009, prop_type::kBinary, LargeBody(), Where::kSubnode, 0x10F},
      {0x3007, prop_type::kInt16, Le16(0xFFFE), Where::kInline},
      {0x3008, prop_type::kFloat, Le32(0x3FC00000), Where::kInline},            // 1.5
      {0x3009, prop_type::kDouble, Le64(0x4004000000000000ull), Where::kHeap},  // 2.5
      {0x300A, prop_type::kError, Le32(0x8004010F), Where::kInline},
      {0x300B, prop_type::kClsid, ByteVector(16, std::byte{0xAB}), Where::kHeap},
      {0x300C, prop_type::kInt64, Le64(static_cast<std::uint64_t>(-5)), Where::kHeap},
      {0x3701, prop_type::kObject, Concat({Le32(0x26A), Le32(5000)}), Where::kHeap},
      {0x8001, prop_type::kMultiValue | prop_type::kInt32, Concat({Le32(7), Le32(8), Le32(9)}),
       Where::kHeap},
      {0x8002, prop_type::kMultiValue | prop_type::kUnicode,
       Concat({Le32(2), Le32(12), Le32(16), Utf16(u"ab"), Utf16(u"xyz")}), Where::kHeap},
      {0x8003, prop_type::kMultiValue | prop_type::kBinary, Concat({Le32(0)}), Where::kHeap},
      {0x8004, prop_type::kBinary, {}, Where::kHeap},
  };
}

Result<PropertyContext> OpenPc(const std::vector<PcProp>& props) {
  return PropertyContext::Open(testing::MakeFakeNode(testing::BuildPc(0x200024, props)));
}

TEST(PropertyContextRead, ListsEveryPropertyByIdWithItsType) {
  auto pc = OpenPc(AllKinds());
  ASSERT_TRUE(pc.ok()) << pc.status().message();
  ASSERT_EQ(pc->entries().size(), AllKinds().size());
  EXPECT_EQ(pc->FindTag(0x0037)->value(), 0x0037001Fu);
  EXPECT_FALSE(pc->FindTag(0x0038).has_value());
}

TEST(PropertyContextRead, ReadsFixedValuesInlineAndInTheHeap) {
  auto pc = OpenPc(AllKinds());
  ASSERT_TRUE(pc.ok());
  EXPECT_EQ(*pc->Get(0x0017)->AsInt32(), 2);
  EXPECT_EQ(*pc->Get(0x0057)->AsBool(), true);
  EXPECT_EQ(*pc->Get(0x3007)->AsInt16(), -2);
  EXPECT_EQ(*pc->Get(0x3008)->AsFloat(), 1.5f);
  EXPECT_EQ(*pc->Get(0x3009)->AsDouble(), 2.5);
  EXPECT_EQ(*pc->Get(0x300A)->AsInt32(), static_cast<std::int32_t>(0x8004010F));
  EXPECT_EQ(*pc->Get(0x300C)->AsInt64(), -5);
  EXPECT_EQ(*pc->Get(0x0039)->AsInt64(), 0x01D0000012345678ll);
  EXPECT_EQ(pc->Get(0x300B)->AsGuid()->at(15), std::byte{0xAB});
  auto object = pc->Get(0x3701)->AsObject();
  ASSERT_TRUE(object.ok());
  EXPECT_EQ(object->node, 0x26Au);
  EXPECT_EQ(object->size, 5000u);
}

TEST(PropertyContextRead, ReadsStringsWithTheirCodePage) {
  auto pc = OpenPc(AllKinds());
  ASSERT_TRUE(pc.ok());
  EXPECT_EQ(*pc->Get(0x0037)->AsUtf8(), "Hello \xC3\xA9t\xC3\xA9");
  EXPECT_EQ(*pc->Get(0x0070)->AsUtf8(), "caf\xC3\xA9");  // 1252 when none is set
  pc->set_code_page(1251);
  auto cyrillic = pc->Get(0x0070);
  EXPECT_EQ(cyrillic->code_page(), 1251u);
  EXPECT_EQ(*cyrillic->AsUtf8(), "caf\xD0\xB9");  // 0xE9 is CYRILLIC SMALL LETTER SHORT I
  EXPECT_EQ(*pc->Get(0x1000)->AsUtf8(), "body");  // kept in a subnode
  EXPECT_TRUE(pc->Get(0x8004)->bytes().empty());
}

TEST(PropertyContextRead, ReadsMultiValuedElements) {
  auto pc = OpenPc(AllKinds());
  ASSERT_TRUE(pc.ok());
  auto longs = pc->Get(0x8001);
  ASSERT_EQ(*longs->MultiValueCount(), 3u);
  EXPECT_EQ(*longs->MultiValueAt(2)->AsInt32(), 9);
  auto strings = pc->Get(0x8002);
  ASSERT_EQ(*strings->MultiValueCount(), 2u);
  EXPECT_EQ(*strings->MultiValueAt(0)->AsUtf8(), "ab");
  EXPECT_EQ(*strings->MultiValueAt(1)->AsUtf8(), "xyz");
  EXPECT_EQ(strings->MultiValueAt(2).status().code(), ErrorCode::kNotFound);
  EXPECT_EQ(*pc->Get(0x8003)->MultiValueCount(), 0u);
}

TEST(PropertyContextRead, StreamsSubnodeValuesByRange) {
  auto pc = OpenPc(AllKinds());
  ASSERT_TRUE(pc.ok());
  auto stream = pc->OpenStream(0x1009);
  ASSERT_TRUE(stream.ok());
  const ByteVector body = LargeBody();
  EXPECT_EQ(stream->size(), body.size());
  ByteVector part(100);
  auto n = stream->ReadAt(12345, part);
  ASSERT_TRUE(n.ok());
  EXPECT_EQ(*n, 100u);
  EXPECT_TRUE(std::equal(part.begin(), part.end(), body.begin() + 12345));
  EXPECT_EQ(*stream->ReadAt(body.size() - 10, part), 10u);
  EXPECT_EQ(*stream->ReadAt(body.size(), part), 0u);
  auto heap_stream = pc->OpenStream(0x0037);
  ASSERT_TRUE(heap_stream.ok());
  EXPECT_EQ(heap_stream->size(), Utf16(u"Hello \u00e9t\u00e9").size());
}

TEST(PropertyContextRead, TypeMismatchesAndAbsentPropertiesAreNotFound) {
  auto pc = OpenPc(AllKinds());
  ASSERT_TRUE(pc.ok());
  EXPECT_EQ(pc->Get(0x0037)->AsInt32().status().code(), ErrorCode::kNotFound);
  EXPECT_EQ(pc->Get(0x4444).status().code(), ErrorCode::kNotFound);
  EXPECT_EQ(pc->Get(PropTag::From(0x0037001E)).status().code(), ErrorCode::kNotFound);
  EXPECT_TRUE(pc->Get(PropTag::From(0x0037001F)).ok());
}

TEST(PropertyContextRead, DamagedValueFailsAloneOthersStillRead) {
  auto props = AllKinds();
  props.push_back({0x9000, prop_type::kSysTime, Le32(1), Where::kHeap});  // 4 of 8 bytes
  props.push_back({0x9001, prop_type::kBinary, {}, Where::kInline});      // HNID 0 = empty
  auto pc = OpenPc(props);
  ASSERT_TRUE(pc.ok());
  EXPECT_EQ(pc->Get(0x9000).status().code(), ErrorCode::kCorrupt);
  EXPECT_TRUE(pc->Get(0x9001)->bytes().empty());
  EXPECT_EQ(*pc->Get(0x0017)->AsInt32(), 2);
}

// A value the context lists is never read as absent: its missing subnode is damage.
TEST(PropertyContextRead, MissingSubnodeAndStrayHeapIdFail) {
  auto data = testing::BuildPc(
      0x200024,
      {
          {0x1000, prop_type::kBinary, {}, Where::kSubnode, 0x8F},
          {0x1001, prop_type::kBinary, Le32(0x00070020), Where::kInline},  // HID in block 7 of 1
      });
  data->subnodes.clear();
  auto pc = PropertyContext::Open(testing::MakeFakeNode(data));
  ASSERT_TRUE(pc.ok());
  EXPECT_EQ(pc->Get(0x1000).status().code(), ErrorCode::kCorrupt);
  EXPECT_EQ(pc->OpenStream(0x1000).status().code(), ErrorCode::kCorrupt);
  EXPECT_EQ(pc->Get(0x1001).status().code(), ErrorCode::kCorrupt);
  EXPECT_EQ(pc->OpenStream(0x1001).status().code(), ErrorCode::kCorrupt);
}

TEST(PropertyContextRead, MultiValuedOffsetsOutsideTheValueAreCorrupt) {
  auto pc = OpenPc({
      {0x8002, prop_type::kMultiValue | prop_type::kUnicode,
       Concat({Le32(2), Le32(12), Le32(400), Utf16(u"ab")}), Where::kHeap},
      {0x8003, prop_type::kMultiValue | prop_type::kBinary, Concat({Le32(1000)}), Where::kHeap},
  });
  ASSERT_TRUE(pc.ok());
  auto strings = pc->Get(0x8002);
  EXPECT_EQ(strings->MultiValueAt(0).status().code(), ErrorCode::kCorrupt);
  EXPECT_EQ(pc->Get(0x8003)->MultiValueCount().status().code(), ErrorCode::kCorrupt);
}

TEST(PropertyContextRead, RefusesAHeapOfAnotherClient) {
  auto data = testing::BuildPc(0x21, {{0x0017, prop_type::kInt32, Le32(2), Where::kInline}});
  data->blocks[0][3] = std::byte{0x7C};
  EXPECT_EQ(PropertyContext::Open(testing::MakeFakeNode(data)).status().code(),
            ErrorCode::kCorrupt);
}

}  // namespace
}  // namespace pst::ltp
