// Decoders of block-level structures on crafted bytes: trailers of the three layouts, XBLOCK and
// XXBLOCK, SLBLOCK and SIBLOCK, and their refusals.
#include <gtest/gtest.h>

#include "ndb_image_builder.h"
#include "platform/pst/ndb/block_trailer.h"
#include "platform/pst/ndb/data_tree_block.h"
#include "platform/pst/ndb/subnode_block.h"

namespace pst::ndb {
namespace {

using testing::PutLe16;
using testing::PutLe32;
using testing::PutLe64;

TEST(BlockTrailer, ReadsEachLayout) {
  {  // ANSI: cb, wSig, bid, dwCRC
    std::vector<std::byte> block(64);
    PutLe16(block, 52, 40);
    PutLe16(block, 54, 0x1111);
    PutLe32(block, 56, 0x64);
    PutLe32(block, 60, 0xCAFEBABE);
    auto t = BlockTrailer::LoadFromBlockEnd(block, FormatLayout::For(FormatVariant::kAnsi));
    EXPECT_EQ(t.stored_size, 40);
    EXPECT_EQ(t.signature, 0x1111);
    EXPECT_EQ(t.bid, 0x64u);
    EXPECT_EQ(t.crc, 0xCAFEBABEu);
    EXPECT_EQ(t.inflated_size, 40);
  }
  {  // Unicode: cb, wSig, dwCRC, bid
    std::vector<std::byte> block(64);
    PutLe16(block, 48, 40);
    PutLe32(block, 52, 0xCAFEBABE);
    PutLe64(block, 56, 0x100000064ull);
    auto t = BlockTrailer::LoadFromBlockEnd(block, FormatLayout::For(FormatVariant::kUnicode));
    EXPECT_EQ(t.crc, 0xCAFEBABEu);
    EXPECT_EQ(t.bid, 0x100000064ull);
  }
  {  // 4 KiB pages: cb, wSig, dwCRC, bid, a reserved word, cbInflated, padding
    std::vector<std::byte> block(512);
    PutLe16(block, 488, 380);
    PutLe32(block, 492, 0x01020304);
    PutLe64(block, 496, 0x68C);
    PutLe16(block, 504, 2);
    PutLe16(block, 506, 558);
    auto t = BlockTrailer::LoadFromBlockEnd(block, FormatLayout::For(FormatVariant::kUnicode4k));
    EXPECT_EQ(t.stored_size, 380);
    EXPECT_EQ(t.inflated_size, 558);
    EXPECT_EQ(t.bid, 0x68Cu);
  }
}

TEST(FormatLayout, BlockExtentsAreAlignedWithRoomForTheTrailer) {
  const auto& u = FormatLayout::For(FormatVariant::kUnicode);
  EXPECT_EQ(u.BlockExtent(0), 64u);
  EXPECT_EQ(u.BlockExtent(48), 64u);
  EXPECT_EQ(u.BlockExtent(49), 128u);
  EXPECT_EQ(u.max_block_data(), 8176u);
  EXPECT_EQ(FormatLayout::For(FormatVariant::kAnsi).max_block_data(), 8180u);
  const auto& k = FormatLayout::For(FormatVariant::kUnicode4k);
  EXPECT_EQ(k.BlockExtent(488), 512u);
  EXPECT_EQ(k.BlockExtent(489), 1024u);
}

std::vector<std::byte> XBlock(std::uint8_t type, std::uint8_t level, std::uint16_t count,
                              std::size_t stored_ids) {
  std::vector<std::byte> b(8 + stored_ids * 8);
  b[0] = static_cast<std::byte>(type);
  b[1] = static_cast<std::byte>(level);
  PutLe16(b, 2, count);
  PutLe32(b, 4, 20000);
  for (std::size_t i = 0; i < stored_ids; ++i) PutLe64(b, 8 + i * 8, 0x100 + i * 4);
  return b;
}

TEST(DataTreeBlock, DecodesChildrenAndTotal) {
  auto x = DataTreeBlock::Decode(XBlock(1, 1, 3, 3), FormatLayout::For(FormatVariant::kUnicode), 6);
  ASSERT_TRUE(x.ok()) << x.status().message();
  EXPECT_EQ(x->level, 1);
  EXPECT_EQ(x->total_size, 20000u);
  EXPECT_EQ(x->children, (std::vector<BlockId>{0x100, 0x104, 0x108}));
}

TEST(DataTreeBlock, RefusesWrongTypeLevelAndOverrun) {
  const auto& l = FormatLayout::For(FormatVariant::kUnicode);
  EXPECT_NE(DataTreeBlock::Decode(XBlock(2, 1, 1, 1), l, 6).status().message().find("type"),
            std::string::npos);
  EXPECT_NE(DataTreeBlock::Decode(XBlock(1, 3, 1, 1), l, 6).status().message().find("level"),
            std::string::npos);
  EXPECT_NE(DataTreeBlock::Decode(XBlock(1, 1, 4, 3), l, 6).status().message().find("overrun"),
            std::string::npos);
  EXPECT_EQ(DataTreeBlock::Decode(std::vector<std::byte>(7), l, 6).status().code(),
            ErrorCode::kCorrupt);
}

TEST(SubnodeBlock, DecodesLeafAndIndexInBothWidths) {
  // ANSI leaf: btype, cLevel, cEnt, then 12-byte entries without padding.
  std::vector<std::byte> ansi(4 + 12);
  ansi[0] = std::byte{2};
  PutLe16(ansi, 2, 1);
  PutLe32(ansi, 4, 0x671F);
  PutLe32(ansi, 8, 0x40);
  PutLe32(ansi, 12, 0x46);
  auto leaf = SubnodeBlock::Decode(ansi, FormatLayout::For(FormatVariant::kAnsi), 0x4A);
  ASSERT_TRUE(leaf.ok()) << leaf.status().message();
  ASSERT_EQ(leaf->leaves.size(), 1u);
  EXPECT_EQ(leaf->leaves[0].nid, 0x671Fu);
  EXPECT_EQ(leaf->leaves[0].data_bid, 0x40u);
  EXPECT_EQ(leaf->leaves[0].subnode_bid, 0x46u);

  // Unicode index: 4 bytes of padding after the counts, 16-byte entries.
  std::vector<std::byte> uni(8 + 32);
  uni[0] = std::byte{2};
  uni[1] = std::byte{1};
  PutLe16(uni, 2, 2);
  PutLe64(uni, 8, 0x21F);
  PutLe64(uni, 16, 0x52);
  PutLe64(uni, 24, 0x8025);
  PutLe64(uni, 32, 0x56);
  auto index = SubnodeBlock::Decode(uni, FormatLayout::For(FormatVariant::kUnicode), 0x5A);
  ASSERT_TRUE(index.ok());
  ASSERT_EQ(index->index.size(), 2u);
  EXPECT_EQ(index->index[1].nid, 0x8025u);
  EXPECT_EQ(index->index[1].child_bid, 0x56u);
}

TEST(SubnodeBlock, RefusesWrongTypeLevelAndOverrun) {
  const auto& l = FormatLayout::For(FormatVariant::kUnicode);
  std::vector<std::byte> b(8 + 24);
  b[0] = std::byte{1};
  EXPECT_EQ(SubnodeBlock::Decode(b, l, 2).status().code(), ErrorCode::kCorrupt);
  b[0] = std::byte{2};
  b[1] = std::byte{2};
  EXPECT_EQ(SubnodeBlock::Decode(b, l, 2).status().code(), ErrorCode::kCorrupt);
  b[1] = std::byte{0};
  PutLe16(b, 2, 2);
  EXPECT_NE(SubnodeBlock::Decode(b, l, 2).status().message().find("overrun"), std::string::npos);
  PutLe16(b, 2, 1);
  EXPECT_TRUE(SubnodeBlock::Decode(b, l, 2).ok());
}

}  // namespace
}  // namespace pst::ndb
