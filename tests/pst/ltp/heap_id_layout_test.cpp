// Heap ids in files with 4 KiB pages: their heap blocks reach 64 KiB, so a HID carries a 14-bit
// allocation index and its block index from bit 19. Heaps over several blocks and blocks with more
// than 2,047 allocations read only with that layout.
#include <gtest/gtest.h>

#include "platform/pst/ltp/heap.h"
#include "platform/pst/ltp/property_context.h"
#include "tests/pst/ltp/heap_builder.h"

namespace pst::ltp {
namespace {

using testing::Ascii;
using testing::ByteVector;
using testing::Concat;
using testing::FakeNodeData;
using testing::HeapBuilder;
using testing::Le16;
using testing::Le32;
using testing::MakeFakeNode;

constexpr unsigned kWideShift = 19;  // block index position with 4 KiB pages

std::shared_ptr<FakeNodeData> NodeOf(std::vector<ByteVector> blocks) {
  return testing::FakeNodeOfBlocks(0x200004, std::move(blocks));
}

TEST(HeapIdLayout, OnlyTheFourKibibytePageVariantWidensTheIndex) {
  EXPECT_EQ(HeapIdLayoutFor(ndb::FormatVariant::kAnsi), HeapIdLayout::k512BytePages);
  EXPECT_EQ(HeapIdLayoutFor(ndb::FormatVariant::kUnicode), HeapIdLayout::k512BytePages);
  EXPECT_EQ(HeapIdLayoutFor(ndb::FormatVariant::kUnicode4k), HeapIdLayout::k4KiBPages);
}

TEST(HeapIdLayout, FourKibibytePageHeapFindsAllocationsInLaterBlocks) {
  HeapBuilder builder(testing::kClientPc, kWideShift);
  std::vector<std::uint32_t> ids;
  for (int block = 0; block < 10; ++block) {  // block 8 carries the bitmap header
    if (block > 0) builder.NextBlock();
    ids.push_back(builder.Add(Ascii("one of " + std::to_string(block))));
    ids.push_back(builder.Add(Ascii("two of " + std::to_string(block))));
  }
  builder.set_user_root(ids.back());
  auto node = MakeFakeNode(NodeOf(builder.Build()));
  auto heap = Heap::Open(*node, HeapIdLayout::k4KiBPages);
  ASSERT_TRUE(heap.ok()) << heap.status().message();
  EXPECT_EQ(ids[2], 0x00080020u);  // block 1, allocation 1
  for (int block = 0; block < 10; ++block) {
    auto two = heap->Read(HeapId{ids[2 * block + 1]});
    ASSERT_TRUE(two.ok()) << block << ": " << two.status().message();
    EXPECT_EQ(*two, Ascii("two of " + std::to_string(block)));
  }
  // Read with the layout of 512-byte-page files, block 1's id names block 8.
  auto misread = Heap::Open(*node, HeapIdLayout::k512BytePages);
  ASSERT_TRUE(misread.ok());
  auto wrong = misread->Read(HeapId{ids[2]});
  EXPECT_TRUE(!wrong.ok() || *wrong != Ascii("one of 1"));
}

TEST(HeapIdLayout, BlockOfMoreThan2047AllocationsReadsEveryOne) {
  HeapBuilder builder(testing::kClientTc, kWideShift);
  std::vector<std::uint32_t> ids;
  for (int i = 0; i < 2100; ++i) ids.push_back(builder.Add(Le16(static_cast<std::uint16_t>(i))));
  builder.set_user_root(ids[0]);
  auto node = MakeFakeNode(NodeOf(builder.Build()));
  auto heap = Heap::Open(*node, HeapIdLayout::k4KiBPages);
  ASSERT_TRUE(heap.ok()) << heap.status().message();
  for (int i : {0, 2046, 2047, 2048, 2099}) {
    auto bytes = heap->Read(HeapId{ids[i]});
    ASSERT_TRUE(bytes.ok()) << i << ": " << bytes.status().message();
    EXPECT_EQ(*bytes, Le16(static_cast<std::uint16_t>(i))) << i;
  }
}

TEST(HeapIdLayout, HeapIdOfABlockPastTheLastIsCorrupt) {
  HeapBuilder builder(testing::kClientPc, kWideShift);
  builder.set_user_root(builder.Add(Ascii("only")));
  auto node = MakeFakeNode(NodeOf(builder.Build()));
  auto heap = Heap::Open(*node, HeapIdLayout::k4KiBPages);
  ASSERT_TRUE(heap.ok());
  EXPECT_EQ(heap->Read(HeapId{(1u << kWideShift) | 0x20}).status().code(), ErrorCode::kCorrupt);
  EXPECT_EQ(heap->Read(HeapId{0x40}).status().code(), ErrorCode::kCorrupt);  // allocation 2
}

// The shape the writer gives a large message in a 4 KiB-page file: values fill blocks 0 and 1,
// the BTH and its header sit in block 2, so the user root itself names a later block.
TEST(HeapIdLayout, PropertyContextWithItsTreeInTheLastBlockReadsEveryValue) {
  HeapBuilder heap(testing::kClientPc, kWideShift);
  const std::uint32_t first = heap.Add(Ascii("value in block 0"));
  heap.NextBlock();
  const std::uint32_t second = heap.Add(Ascii("value in block 1"));
  heap.NextBlock();
  const ByteVector binary = Le16(prop_type::kBinary);
  heap.set_user_root(testing::AddBth(heap, 2, 6,
                                     {{Le16(0x6701), Concat({binary, Le32(first)})},
                                      {Le16(0x6702), Concat({binary, Le32(second)})}}));
  auto pc = PropertyContext::Open(MakeFakeNode(NodeOf(heap.Build())), HeapIdLayout::k4KiBPages);
  ASSERT_TRUE(pc.ok()) << pc.status().message();
  EXPECT_EQ(pc->heap_id_layout(), HeapIdLayout::k4KiBPages);
  EXPECT_EQ(pc->Get(0x6701)->bytes(), Ascii("value in block 0"));
  EXPECT_EQ(pc->Get(0x6702)->bytes(), Ascii("value in block 1"));
}

}  // namespace
}  // namespace pst::ltp
