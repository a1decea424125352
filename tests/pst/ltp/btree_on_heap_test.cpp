// B-tree-on-heap: look-up and in-order walks over one and two levels; damaged headers and nodes.
#include <gtest/gtest.h>

#include <optional>

#include "platform/pst/ltp/btree_on_heap.h"
#include "tests/pst/ltp/heap_builder.h"

namespace pst::ltp {
namespace {

using testing::ByteVector;
using testing::HeapBuilder;
using testing::Le16;
using testing::Le32;

struct BthFixture {
  std::shared_ptr<testing::FakeNodeData> data = std::make_shared<testing::FakeNodeData>();
  std::unique_ptr<ndb::Node> node;
  std::optional<Heap> heap;
  std::uint32_t header = 0;

  // Keys 10, 20, ... with data key * 3, in leaves of leaf_capacity records.
  BthFixture(std::size_t count, std::size_t leaf_capacity) {
    HeapBuilder builder(testing::kClientBth);
    std::vector<std::pair<ByteVector, ByteVector>> records;
    for (std::uint32_t i = 1; i <= count; ++i) records.emplace_back(Le32(i * 10), Le16(i * 30));
    header = testing::AddBth(builder, 4, 2, records, leaf_capacity);
    builder.set_user_root(header);
    data->blocks = builder.Build();
    node = testing::MakeFakeNode(data);
    heap.emplace(*Heap::Open(*node));
  }
};

class BthShapes : public ::testing::TestWithParam<std::size_t> {};

TEST_P(BthShapes, FindsEveryKeyAndNothingElse) {
  BthFixture f(40, GetParam());
  auto bth = BTreeOnHeap::Open(*f.heap, HeapId{f.header});
  ASSERT_TRUE(bth.ok()) << bth.status().message();
  for (std::uint32_t i = 1; i <= 40; ++i) {
    auto found = bth->Find(Le32(i * 10));
    ASSERT_TRUE(found.ok()) << i;
    EXPECT_EQ(*found, Le16(i * 30));
  }
  EXPECT_EQ(bth->Find(Le32(5)).status().code(), ErrorCode::kNotFound);
  EXPECT_EQ(bth->Find(Le32(15)).status().code(), ErrorCode::kNotFound);
  EXPECT_EQ(bth->Find(Le32(999)).status().code(), ErrorCode::kNotFound);
}

TEST_P(BthShapes, WalksRecordsInKeyOrder) {
  BthFixture f(40, GetParam());
  auto bth = BTreeOnHeap::Open(*f.heap, HeapId{f.header});
  ASSERT_TRUE(bth.ok());
  std::vector<std::uint32_t> keys;
  ASSERT_TRUE(bth->ForEach([&](Bytes key, Bytes) {
                   keys.push_back(LoadU32(key, 0));
                   return true;
                 })
                  .ok());
  ASSERT_EQ(keys.size(), 40u);
  for (std::size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(keys[i], (i + 1) * 10);
}

INSTANTIATE_TEST_SUITE_P(OneLevelAndTwo, BthShapes, ::testing::Values(1000, 7));

TEST(BthRead, EmptyTreeHasNoRecords) {
  BthFixture f(0, 1000);
  auto bth = BTreeOnHeap::Open(*f.heap, HeapId{f.header});
  ASSERT_TRUE(bth.ok());
  int visits = 0;
  EXPECT_TRUE(bth->ForEach([&](Bytes, Bytes) { return ++visits, true; }).ok());
  EXPECT_EQ(visits, 0);
  EXPECT_EQ(bth->Find(Le32(1)).status().code(), ErrorCode::kNotFound);
}

TEST(BthRead, RefusesBadHeaders) {
  const std::vector<ByteVector> bad = {
      {std::byte{0xB4}, std::byte{4}, std::byte{2}, std::byte{0}, {}, {}, {}, {}},   // type
      {std::byte{0xB5}, std::byte{3}, std::byte{2}, std::byte{0}, {}, {}, {}, {}},   // key size
      {std::byte{0xB5}, std::byte{4}, std::byte{0}, std::byte{0}, {}, {}, {}, {}},   // data size
      {std::byte{0xB5}, std::byte{4}, std::byte{33}, std::byte{0}, {}, {}, {}, {}},  // data size
      {std::byte{0xB5}, std::byte{4}, std::byte{2}},                                 // short
  };
  for (const auto& header : bad) {
    EXPECT_EQ(BthHeader::Decode(header).status().code(), ErrorCode::kCorrupt);
  }
}

// A BTH of 4-byte keys and 2-byte data whose root node holds `root_bytes` at `levels`.
struct RawBth {
  std::unique_ptr<ndb::Node> node;
  std::optional<Heap> heap;
  std::optional<BTreeOnHeap> bth;

  RawBth(const ByteVector& root_bytes, std::uint8_t levels) {
    HeapBuilder builder(testing::kClientBth);
    const auto root = builder.Add(root_bytes);
    const ByteVector header{std::byte{0xB5}, std::byte{4}, std::byte{2}, std::byte{levels}};
    const auto hid = builder.Add(testing::Concat({header, Le32(root)}));
    auto data = std::make_shared<testing::FakeNodeData>();
    data->blocks = builder.Build();
    node = testing::MakeFakeNode(data);
    heap.emplace(*Heap::Open(*node));
    bth.emplace(*BTreeOnHeap::Open(*heap, HeapId{hid}));
  }
};

TEST(BthRead, RefusesNodeThatIsNotWholeRecords) {
  RawBth f(ByteVector(7), 0);  // records of 4 + 2 bytes
  EXPECT_EQ(f.bth->ForEach([](Bytes, Bytes) { return true; }).code(), ErrorCode::kCorrupt);
  EXPECT_EQ(f.bth->Find(Le32(0)).status().code(), ErrorCode::kCorrupt);
}

TEST(BthRead, IndexLevelPointingPastTheHeapIsCorrupt) {
  RawBth f(testing::Concat({Le32(1), Le32(0x00050020)}), 1);
  EXPECT_EQ(f.bth->Find(Le32(1)).status().code(), ErrorCode::kCorrupt);
  EXPECT_EQ(f.bth->ForEach([](Bytes, Bytes) { return true; }).code(), ErrorCode::kCorrupt);
}

}  // namespace
}  // namespace pst::ltp
