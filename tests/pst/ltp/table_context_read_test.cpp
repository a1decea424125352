// Table contexts: rows in the heap and in a subnode over several blocks, fixed and variable cells,
// cell-existence bits, the row index, and damaged layouts and row matrices.
#include <gtest/gtest.h>

#include "platform/pst/ltp/table_context.h"
#include "tests/pst/ltp/heap_builder.h"

namespace pst::ltp {
namespace {

using testing::ByteVector;
using testing::Concat;
using testing::HeapBuilder;
using testing::Le16;
using testing::Le32;
using testing::Le64;
using testing::TcColumn;
using testing::TcLayout;
using testing::Utf16;

// Row id, row version, subject (HNID), delivery time, size, an I2 and a boolean, then the bitmap.
TcLayout MessageLayout() {
  return TcLayout{24,
                  26,
                  27,
                  28,
                  {{0x67F20003, 0, 4, 0},
                   {0x67F30003, 4, 4, 1},
                   {0x0037001F, 8, 4, 2},
                   {0x0E060040, 12, 8, 3},
                   {0x0E080003, 20, 4, 4},
                   {0x30070002, 24, 2, 5},
                   {0x0E1F000B, 26, 1, 6}}};
}

constexpr std::uint8_t kAllCells = 0xFE;  // bits 0..6, most significant first

ByteVector Row(std::uint32_t id, std::uint32_t subject, std::uint32_t size,
               std::uint8_t bitmap = kAllCells) {
  return Concat({Le32(id), Le32(1), Le32(subject), Le64(0x01D0000000000000ull + id), Le32(size),
                 Le16(static_cast<std::uint16_t>(id)), ByteVector{std::byte{1}},
                 ByteVector{std::byte{bitmap}}});
}

Result<TableContext> OpenTable(std::shared_ptr<testing::FakeNodeData> data) {
  return TableContext::Open(testing::MakeFakeNode(std::move(data)));
}

TEST(TableContextRead, ReadsCellsOfRowsKeptInTheHeap) {
  HeapBuilder heap(testing::kClientTc);
  const auto hello = heap.Add(Utf16(u"hello"));
  const auto world = heap.Add(Utf16(u"world"));
  auto table = OpenTable(testing::BuildTc(
      0x8022, MessageLayout(), {Row(0x200024, hello, 100), Row(0x200044, world, 200)}, 0, &heap));
  ASSERT_TRUE(table.ok()) << table.status().message();
  ASSERT_EQ(table->row_count(), 2u);
  ASSERT_EQ(table->columns().size(), 7u);
  auto row = table->ReadRow(1);
  ASSERT_TRUE(row.ok());
  EXPECT_EQ(row->row_id(), 0x200044u);
  EXPECT_EQ(*table->CellById(*row, 0x0037)->AsUtf8(), "world");
  EXPECT_EQ(*table->CellById(*row, 0x0E06)->AsInt64(), 0x01D0000000200044ll);
  EXPECT_EQ(*table->CellById(*row, 0x0E08)->AsInt32(), 200);
  EXPECT_EQ(*table->CellById(*row, 0x3007)->AsInt16(), 0x44);
  EXPECT_EQ(*table->CellById(*row, 0x0E1F)->AsBool(), true);
  EXPECT_EQ(table->CellById(*row, 0x1234).status().code(), ErrorCode::kNotFound);
  EXPECT_EQ(table->ReadRow(2).status().code(), ErrorCode::kNotFound);
}

TEST(TableContextRead, ClearedExistenceBitMeansNoValue) {
  HeapBuilder heap(testing::kClientTc);
  const std::uint8_t no_subject_no_size = kAllCells & ~0x20 & ~0x08;
  auto table = OpenTable(testing::BuildTc(
      0x8022, MessageLayout(), {Row(0x200024, 0xDEAD0000, 5, no_subject_no_size)}, 0, &heap));
  ASSERT_TRUE(table.ok());
  auto row = table->ReadRow(0);
  EXPECT_EQ(table->CellById(*row, 0x0037).status().code(), ErrorCode::kNotFound);
  EXPECT_EQ(table->CellById(*row, 0x0E08).status().code(), ErrorCode::kNotFound);
  EXPECT_TRUE(table->CellById(*row, 0x0E06).ok());
}

TEST(TableContextRead, ReadsRowsOfASubnodeMatrixAcrossBlocks) {
  std::vector<ByteVector> rows;
  for (std::uint32_t i = 0; i < 50; ++i) rows.push_back(Row(0x200004 + (i << 5), 0, i));
  auto table = OpenTable(testing::BuildTc(0x8022, MessageLayout(), rows, 8));
  ASSERT_TRUE(table.ok()) << table.status().message();
  ASSERT_EQ(table->row_count(), 50u);
  for (std::size_t i : {0u, 7u, 8u, 31u, 48u, 49u}) {
    auto row = table->ReadRow(i);
    ASSERT_TRUE(row.ok()) << i;
    EXPECT_EQ(*table->CellById(*row, 0x0E08)->AsInt32(), static_cast<std::int32_t>(i));
  }
  auto index = table->FindRow(0x200004 + (33u << 5));
  ASSERT_TRUE(index.ok());
  EXPECT_EQ(index->value(), 33u);
  EXPECT_FALSE(table->FindRow(0x12345)->has_value());
}

TEST(TableContextRead, RowOutsideAShortBlockIsCorrupt) {
  std::vector<ByteVector> rows;
  for (std::uint32_t i = 0; i < 20; ++i) rows.push_back(Row(i << 5, 0, i));
  auto data = testing::BuildTc(0x8022, MessageLayout(), rows, 8);
  auto matrix = data->subnodes.at(testing::kRowMatrixSubnode);
  matrix->blocks[1].resize(28 * 3);  // the middle block lost five rows
  auto table = OpenTable(data);
  ASSERT_TRUE(table.ok());
  EXPECT_TRUE(table->ReadRow(10).ok());
  EXPECT_EQ(table->ReadRow(12).status().code(), ErrorCode::kCorrupt);
  EXPECT_TRUE(table->ReadRow(17).ok());  // rows of the next block still read
}

TEST(TableContextRead, VariableCellInASubnodeStreams) {
  auto data = testing::BuildTc(0x8022, MessageLayout(), {Row(0x24, 0x2A8F, 1)});
  auto sub = std::make_shared<testing::FakeNodeData>();
  sub->id = 0x2A8F;
  sub->blocks = {Utf16(u"long "), Utf16(u"subject")};
  data->subnodes[0x2A8F] = sub;
  auto table = OpenTable(data);
  ASSERT_TRUE(table.ok());
  auto row = table->ReadRow(0);
  EXPECT_EQ(*table->CellById(*row, 0x0037)->AsUtf8(), "long subject");
  auto stream = table->OpenCellStream(*row, 2);
  ASSERT_TRUE(stream.ok());
  EXPECT_EQ(stream->size(), 24u);
}

TEST(TableContextRead, FixedValueInAWiderCellIsTheCellsFirstBytes) {
  // PR_ROWID as PT_LONG in an 8-byte cell, a boolean in a 4-byte cell, a GUID by HNID.
  HeapBuilder heap(testing::kClientTc);
  const auto guid = heap.Add(ByteVector(16, std::byte{0x5A}));
  TcLayout layout{20,
                  20,
                  20,
                  21,
                  {{0x67F20003, 0, 4, 0},
                   {0x30000003, 4, 8, 1},
                   {0x0E1F000B, 12, 4, 2},
                   {0x66090048, 16, 4, 3}}};
  auto table = OpenTable(testing::BuildTc(0x692, layout,
                                          {Concat({Le32(7), Le64(0xFFFFFFFF00000009ull), Le32(1),
                                                   Le32(guid), ByteVector{std::byte{0xF0}}})},
                                          0, &heap));
  ASSERT_TRUE(table.ok()) << table.status().message();
  auto row = table->ReadRow(0);
  EXPECT_EQ(*table->CellById(*row, 0x3000)->AsInt32(), 9);
  EXPECT_EQ(*table->CellById(*row, 0x0E1F)->AsBool(), true);
  EXPECT_EQ(table->CellById(*row, 0x6609)->AsGuid()->at(0), std::byte{0x5A});
}

struct LayoutCase {
  const char* name;
  TcLayout layout;
};

class DamagedLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(DamagedLayout, IsRefused) {
  auto table = OpenTable(testing::BuildTc(0x8022, GetParam().layout, {}));
  EXPECT_EQ(table.status().code(), ErrorCode::kCorrupt) << table.status().message();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedLayout,
    ::testing::Values(LayoutCase{"CellPastDataPart",
                                 {8, 8, 8, 9, {{0x67F20003, 0, 4, 0}, {0x0E080003, 6, 4, 1}}}},
                      LayoutCase{"BitPastBitmap",
                                 {8, 8, 8, 9, {{0x67F20003, 0, 4, 0}, {0x0E080003, 4, 4, 9}}}},
                      LayoutCase{"BitmapTooSmall", {8, 8, 8, 8, {{0x67F20003, 0, 4, 0}}}},
                      LayoutCase{"OffsetsOutOfOrder", {8, 6, 8, 9, {{0x67F20003, 0, 4, 0}}}},
                      LayoutCase{"NoRoomForRowId", {2, 2, 2, 3, {}}},
                      LayoutCase{"ZeroSizeCell", {8, 8, 8, 9, {{0x67F20003, 0, 0, 0}}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TableContextRead, RowMatrixInAMissingSubnodeIsReported) {
  auto data = testing::BuildTc(0x8022, MessageLayout(), {Row(1, 0, 1)}, 8);
  data->subnodes.clear();
  EXPECT_EQ(OpenTable(data).status().code(), ErrorCode::kNotFound);
}

TEST(TableContextRead, EmptyTableHasNoRows) {
  auto table = OpenTable(testing::BuildTc(0x8022, MessageLayout(), {}));
  ASSERT_TRUE(table.ok());
  EXPECT_EQ(table->row_count(), 0u);
}

}  // namespace
}  // namespace pst::ltp
