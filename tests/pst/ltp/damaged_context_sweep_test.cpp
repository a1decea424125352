// Every single-byte corruption of a property context and of a table context either reads or fails
// with a Status: never a crash, a hang or an out-of-bounds read (run under the sanitizers).
#include <gtest/gtest.h>

#include "platform/pst/ltp/property_context.h"
#include "platform/pst/ltp/table_context.h"
#include "tests/pst/ltp/heap_builder.h"

namespace pst::ltp {
namespace {

using testing::ByteVector;
using testing::Concat;
using testing::Le16;
using testing::Le32;
using testing::Le64;
using testing::PcProp;
using testing::Utf16;
using Where = PcProp::Where;

// Reads every value of every kind a context offers; returns how many reads failed.
int ReadEverything(const PropertyContext& pc) {
  int failures = 0;
  for (const auto& e : pc.entries()) {
    auto value = pc.Get(e.tag.id);
    if (!value) {
      ++failures;
      continue;
    }
    if (IsMultiValued(e.tag.type)) {
      auto count = value->MultiValueCount();
      for (std::size_t i = 0; count && i < *count && i < 1000; ++i)
        failures += !value->MultiValueAt(i).ok();
    }
    (void)value->AsUtf8();
    auto stream = pc.OpenStream(e.tag.id);
    if (stream) {
      ByteVector buffer(64);
      failures += !stream->ReadAt(stream->size() / 2, buffer).ok();
    }
  }
  return failures;
}

int ReadEverything(const TableContext& tc) {
  int failures = 0;
  for (std::size_t r = 0; r < tc.row_count() && r < 1000; ++r) {
    auto row = tc.ReadRow(r);
    if (!row) {
      ++failures;
      continue;
    }
    for (std::size_t c = 0; c < tc.columns().size(); ++c) failures += !tc.Cell(*row, c).ok();
    failures += !tc.FindRow(row->row_id()).ok();
  }
  return failures;
}

std::shared_ptr<testing::FakeNodeData> SamplePc() {
  return testing::BuildPc(
      0x200024,
      {
          {0x0017, prop_type::kInt32, Le32(2), Where::kInline},
          {0x0037, prop_type::kUnicode, Utf16(u"subject"), Where::kHeap},
          {0x0039, prop_type::kSysTime, Le64(1), Where::kHeap},
          {0x1000, prop_type::kBinary, ByteVector(300, std::byte{7}), Where::kSubnode, 0x8F},
          {0x8002, prop_type::kMultiValue | prop_type::kUnicode,
           Concat({Le32(2), Le32(12), Le32(16), Utf16(u"ab"), Utf16(u"xyz")}), Where::kHeap},
      });
}

std::shared_ptr<testing::FakeNodeData> SampleTc(std::size_t rows_per_block) {
  testing::HeapBuilder heap(testing::kClientTc);
  const auto name = heap.Add(Utf16(u"name"));
  testing::TcLayout layout{12,
                           14,
                           14,
                           15,
                           {{0x67F20003, 0, 4, 0},
                            {0x3001001F, 4, 4, 1},
                            {0x0E080003, 8, 4, 2},
                            {0x30070002, 12, 2, 3}}};
  std::vector<ByteVector> rows;
  for (std::uint32_t i = 0; i < 6; ++i) {
    rows.push_back(
        Concat({Le32(i << 5), Le32(name), Le32(i), Le16(1), ByteVector{std::byte{0xF0}}}));
  }
  return testing::BuildTc(0x8022, layout, rows, rows_per_block, &heap);
}

// Corrupts each byte of each block of `data` (and of the row matrix subnode, if any) in turn.
template <typename Context>
void SweepEveryByte(const std::shared_ptr<testing::FakeNodeData>& data) {
  std::vector<ByteVector*> blocks;
  for (auto& b : data->blocks) blocks.push_back(&b);
  for (auto& [id, sub] : data->subnodes) {
    for (auto& b : sub->blocks) blocks.push_back(&b);
  }
  int opened = 0;
  for (ByteVector* block : blocks) {
    for (std::size_t at = 0; at < block->size(); ++at) {
      for (std::byte poison : {std::byte{0xFF}, std::byte{0x00}, std::byte{0x41}}) {
        const std::byte kept = (*block)[at];
        (*block)[at] = poison;
        auto context = Context::Open(testing::MakeFakeNode(data));
        if (context) {
          ++opened;
          ReadEverything(*context);
        }
        (*block)[at] = kept;
      }
    }
  }
  EXPECT_GT(opened, 0);
}

TEST(DamagedContextSweep, PropertyContextSurvivesEverySingleByteCorruption) {
  SweepEveryByte<PropertyContext>(SamplePc());
}

TEST(DamagedContextSweep, TableWithRowsInTheHeapSurvivesEverySingleByteCorruption) {
  SweepEveryByte<TableContext>(SampleTc(0));
}

TEST(DamagedContextSweep, TableWithRowsInASubnodeSurvivesEverySingleByteCorruption) {
  SweepEveryByte<TableContext>(SampleTc(4));
}

TEST(DamagedContextSweep, UndamagedContextsReadWithoutFailures) {
  auto pc = PropertyContext::Open(testing::MakeFakeNode(SamplePc()));
  ASSERT_TRUE(pc.ok());
  EXPECT_EQ(ReadEverything(*pc), 0);
  for (std::size_t per_block : {0u, 4u}) {
    auto tc = TableContext::Open(testing::MakeFakeNode(SampleTc(per_block)));
    ASSERT_TRUE(tc.ok());
    EXPECT_EQ(tc->row_count(), 6u);
    EXPECT_EQ(ReadEverything(*tc), 0);
  }
}

}  // namespace
}  // namespace pst::ltp
