// Heap-on-node: allocations found through page maps across blocks, and damaged heaps refused.
#include <gtest/gtest.h>

#include "platform/pst/ltp/heap.h"
#include "tests/pst/ltp/heap_builder.h"

namespace pst::ltp {
namespace {

using testing::Ascii;
using testing::ByteVector;
using testing::FakeNodeData;
using testing::HeapBuilder;
using testing::MakeFakeNode;

std::shared_ptr<FakeNodeData> NodeOf(std::vector<ByteVector> blocks) {
  return testing::FakeNodeOfBlocks(0x21, std::move(blocks));
}

TEST(HeapRead, FindsAllocationsInEveryBlockIncludingBitmapPages) {
  HeapBuilder builder(testing::kClientPc);
  std::vector<std::uint32_t> ids;
  for (int block = 0; block < 10; ++block) {  // block 8 carries the 66-byte bitmap header
    if (block > 0) builder.NextBlock();
    ids.push_back(builder.Add(Ascii("first of " + std::to_string(block))));
    ids.push_back(builder.Add(Ascii("second of " + std::to_string(block))));
  }
  builder.set_user_root(ids[0]);
  auto node = MakeFakeNode(NodeOf(builder.Build()));
  auto heap = Heap::Open(*node);
  ASSERT_TRUE(heap.ok()) << heap.status().message();
  EXPECT_EQ(heap->client_signature(), 0xBC);
  EXPECT_EQ(heap->user_root().raw, ids[0]);
  for (int block = 0; block < 10; ++block) {
    auto second = heap->Read(HeapId{ids[2 * block + 1]});
    ASSERT_TRUE(second.ok()) << block << ": " << second.status().message();
    EXPECT_EQ(*second, Ascii("second of " + std::to_string(block)));
  }
}

TEST(HeapRead, EmptyAllocationReadsAsNoBytes) {
  HeapBuilder builder(testing::kClientPc);
  builder.Add(Ascii("x"));
  const auto empty = builder.Add({});
  auto node = MakeFakeNode(NodeOf(builder.Build()));
  auto heap = Heap::Open(*node);
  ASSERT_TRUE(heap.ok());
  auto bytes = heap->Read(HeapId{empty});
  ASSERT_TRUE(bytes.ok());
  EXPECT_TRUE(bytes->empty());
}

// A heap whose first block is altered by `damage`, opened and then read at `hid`.
Status OpenDamaged(void (*damage)(ByteVector&), std::uint32_t hid = 0x20) {
  HeapBuilder builder(testing::kClientPc);
  builder.Add(Ascii("abcdef"));
  auto blocks = builder.Build();
  damage(blocks[0]);
  auto node = MakeFakeNode(NodeOf(blocks));
  auto heap = Heap::Open(*node);
  if (!heap.ok()) return heap.status();
  return heap->Read(HeapId{hid}).status();
}

struct DamageCase {
  const char* name;
  void (*damage)(ByteVector&);
};

class DamagedHeap : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedHeap, IsRefusedAsCorrupt) {
  const Status status = OpenDamaged(GetParam().damage);
  EXPECT_EQ(status.code(), ErrorCode::kCorrupt) << status.message();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedHeap,
    ::testing::Values(DamageCase{"BadSignature", [](ByteVector& b) { b[2] = std::byte{0xED}; }},
                      DamageCase{"TooShort", [](ByteVector& b) { b.resize(8); }},
                      DamageCase{"PageMapPastBlock",
                                 [](ByteVector& b) {
                                   b[0] = std::byte{0xF0};
                                   b[1] = std::byte{0x7F};
                                 }},
                      DamageCase{"PageMapInsideHeader",
                                 [](ByteVector& b) {
                                   b[0] = std::byte{4};
                                   b[1] = std::byte{0};
                                 }},
                      DamageCase{"AllocationCountPastBlock",
                                 [](ByteVector& b) {
                                   const std::size_t map = static_cast<std::size_t>(b[0]);
                                   b[map] = std::byte{0xFF};
                                 }},
                      DamageCase{"OffsetsOutOfOrder",
                                 [](ByteVector& b) {
                                   const std::size_t map = static_cast<std::size_t>(b[0]);
                                   b[map + 6] =
                                       std::byte{0x02};  // end of allocation 1 before its start
                                 }},
                      DamageCase{"OffsetPastPageMap",
                                 [](ByteVector& b) {
                                   const std::size_t map = static_cast<std::size_t>(b[0]);
                                   b[map + 6] = std::byte{0xFE};
                                 }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HeapRead, RefusesHeapIdsThatNameNoAllocation) {
  auto keep = [](ByteVector&) {};
  EXPECT_EQ(OpenDamaged(keep, 0x20).code(), ErrorCode::kOk);
  EXPECT_EQ(OpenDamaged(keep, 0x40).code(), ErrorCode::kCorrupt);        // index 2 of 1
  EXPECT_EQ(OpenDamaged(keep, 0x00010020).code(), ErrorCode::kCorrupt);  // block 1 of 1
  EXPECT_EQ(OpenDamaged(keep, 0x21).code(), ErrorCode::kCorrupt);        // not a heap id
  EXPECT_EQ(OpenDamaged(keep, 0x0).code(), ErrorCode::kCorrupt);         // index 0
}

TEST(HeapRead, NodeWithoutDataIsNotAHeap) {
  auto node = MakeFakeNode(NodeOf({}));
  EXPECT_EQ(Heap::Open(*node).status().code(), ErrorCode::kCorrupt);
}

TEST(HeapRead, FailedBlockReadIsReportedNotHidden) {
  HeapBuilder builder(testing::kClientPc);
  builder.Add(Ascii("a"));
  builder.NextBlock();
  const auto in_second = builder.Add(Ascii("b"));
  auto data = NodeOf(builder.Build());
  data->failing_blocks[1] = Status::Corrupt("bad block checksum");
  auto node = MakeFakeNode(data);
  auto heap = Heap::Open(*node);
  ASSERT_TRUE(heap.ok());
  auto read = heap->Read(HeapId{in_second});
  EXPECT_EQ(read.status().message(), "bad block checksum");
}

}  // namespace
}  // namespace pst::ltp
