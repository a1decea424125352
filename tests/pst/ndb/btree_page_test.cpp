// B-tree page decoding on crafted pages: entries of each kind and variant, and every refusal;
// checksum and signature mismatches are reported but do not refuse the page.
#include "platform/pst/ndb/btree_page.h"

#include <gtest/gtest.h>

#include "ndb_image_builder.h"
#include "platform/pst/ndb/pst_crc.h"

namespace pst::ndb {
namespace {

using testing::PutLe16;
using testing::PutLe32;
using testing::PutLe64;

constexpr std::uint64_t kIb = 0x4400;
constexpr std::uint64_t kBid = 0x1234;

// A Unicode node B-tree leaf with two entries, trailer and CRC correct.
std::vector<std::byte> NodeLeaf() {
  const FormatLayout& l = FormatLayout::For(FormatVariant::kUnicode);
  std::vector<std::byte> page(l.page_size);
  for (int i = 0; i < 2; ++i) {
    const std::size_t at = i * 32;
    PutLe64(page, at, 0x21 + i * 0x100);        // nid
    PutLe64(page, at + 8, 0x40 + i * 4);        // bidData
    PutLe64(page, at + 16, i == 0 ? 0 : 0x42);  // bidSub
    PutLe32(page, at + 24, 0x122);              // nidParent
  }
  page[488] = std::byte{2};   // cEnt
  page[489] = std::byte{15};  // cEntMax
  page[490] = std::byte{32};  // cbEnt
  page[491] = std::byte{0};   // cLevel
  page[496] = page[497] = std::byte{0x81};
  PutLe16(page, 498, util::ComputeSig(kIb, kBid));
  PutLe32(page, 500, util::ComputeCrc(0, std::span<const std::byte>(page).first(496)));
  PutLe64(page, 504, kBid);
  return page;
}

Result<BTreePage> DecodeNodePage(const std::vector<std::byte>& page) {
  return BTreePage::Decode(page, FormatLayout::For(FormatVariant::kUnicode), PageType::kNodeBTree,
                           {kBid, kIb});
}

TEST(BTreePage, DecodesNodeEntries) {
  auto page = DecodeNodePage(NodeLeaf());
  ASSERT_TRUE(page.ok()) << page.status().message();
  EXPECT_EQ(page->level(), 0);
  EXPECT_TRUE(page->crc_ok());
  EXPECT_TRUE(page->signature_ok());
  ASSERT_EQ(page->nodes().size(), 2u);
  EXPECT_EQ(page->nodes()[1].nid, 0x121u);
  EXPECT_EQ(page->nodes()[1].data_bid, 0x44u);
  EXPECT_EQ(page->nodes()[1].subnode_bid, 0x42u);
  EXPECT_EQ(page->nodes()[1].parent_nid, 0x122u);
  EXPECT_TRUE(page->blocks().empty());
  EXPECT_TRUE(page->children().empty());
}

struct PageDamage {
  const char* name;
  void (*damage)(std::vector<std::byte>&);
  const char* words;  // empty: the page decodes
};

class BTreePageDamage : public ::testing::TestWithParam<PageDamage> {};

TEST_P(BTreePageDamage, IsRefusedOrFlagged) {
  auto raw = NodeLeaf();
  GetParam().damage(raw);
  auto page = DecodeNodePage(raw);
  if (std::string(GetParam().words).empty()) {
    ASSERT_TRUE(page.ok()) << page.status().message();
    return;
  }
  ASSERT_FALSE(page.ok());
  EXPECT_EQ(page.status().code(), ErrorCode::kCorrupt);
  EXPECT_NE(page.status().message().find(GetParam().words), std::string::npos)
      << page.status().message();
  EXPECT_NE(page.status().message().find("0x1234"), std::string::npos) << "names the page";
}

INSTANTIATE_TEST_SUITE_P(
    All, BTreePageDamage,
    ::testing::Values(
        PageDamage{"BlockTreeType", [](auto& p) { p[496] = p[497] = std::byte{0x80}; },
                   "wrong page type"},
        PageDamage{"RepeatDiffers", [](auto& p) { p[497] = std::byte{0x80}; }, "wrong page type"},
        PageDamage{"OtherBid", [](auto& p) { PutLe64(p, 504, 0x9999); }, "names block 0x9999"},
        PageDamage{"EntryTooSmall", [](auto& p) { p[490] = std::byte{16}; }, "bad entry layout"},
        PageDamage{"ZeroEntrySize", [](auto& p) { p[490] = std::byte{0}; }, "bad entry layout"},
        PageDamage{"TooManyEntries", [](auto& p) { p[488] = std::byte{16}; }, "bad entry layout"},
        PageDamage{"EntryBytesChanged", [](auto& p) { p[3] = std::byte{1}; }, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BTreePage, ChecksumAndSignatureMismatchesAreReportedNotRefused) {
  auto raw = NodeLeaf();
  raw[100] ^= std::byte{1};  // unused slot: structure intact, CRC off
  auto page = DecodeNodePage(raw);
  ASSERT_TRUE(page.ok());
  EXPECT_FALSE(page->crc_ok());
  EXPECT_TRUE(page->signature_ok());
  auto moved = BTreePage::Decode(NodeLeaf(), FormatLayout::For(FormatVariant::kUnicode),
                                 PageType::kNodeBTree, {kBid, kIb + 512});
  ASSERT_TRUE(moved.ok());
  EXPECT_FALSE(moved->signature_ok()) << "the signature ties the page to its offset";
}

TEST(BTreePage, FourKilobytePagesCountEntriesInWords) {
  const FormatLayout& l = FormatLayout::For(FormatVariant::kUnicode4k);
  std::vector<std::byte> page(l.page_size);
  const std::size_t count = 160;  // more than a byte-sized count field of 512-byte pages allows
  for (std::size_t i = 0; i < count; ++i) {
    PutLe64(page, i * 24, 4 + i * 4);             // bid
    PutLe64(page, i * 24 + 8, 0x1000 * (i + 1));  // ib
    PutLe16(page, i * 24 + 16, 100);              // cb
    PutLe16(page, i * 24 + 18, 300);              // cbInflated
    PutLe16(page, i * 24 + 20, 1);                // cRef
  }
  PutLe16(page, 4056, count);
  PutLe16(page, 4058, 169);
  page[4060] = std::byte{24};
  page[4061] = std::byte{0};
  page[4072] = page[4073] = std::byte{0x80};
  PutLe16(page, 4074, util::ComputeSig(kIb, kBid));
  PutLe32(page, 4076, util::ComputeCrc(0, std::span<const std::byte>(page).first(4072)));
  PutLe64(page, 4080, kBid);
  auto decoded = BTreePage::Decode(page, l, PageType::kBlockBTree, {kBid, kIb});
  ASSERT_TRUE(decoded.ok()) << decoded.status().message();
  EXPECT_TRUE(decoded->crc_ok());
  ASSERT_EQ(decoded->blocks().size(), count);
  EXPECT_EQ(decoded->blocks()[159].ref.bid, 4u + 159 * 4);
  EXPECT_EQ(decoded->blocks()[159].stored_size, 100u);
  EXPECT_EQ(decoded->blocks()[159].inflated_size, 300u);
}

TEST(PageTrailer, AnsiKeepsTheIdBeforeTheChecksum) {
  const FormatLayout& l = FormatLayout::For(FormatVariant::kAnsi);
  std::vector<std::byte> page(l.page_size);
  page[500] = page[501] = std::byte{0x81};
  PutLe16(page, 502, 0xBEEF);
  PutLe32(page, 504, 0x3EA);
  PutLe32(page, 508, 0xE8FF2489);
  const PageTrailer t = PageTrailer::Load(page, l);
  EXPECT_EQ(t.ptype, 0x81);
  EXPECT_EQ(t.signature, 0xBEEF);
  EXPECT_EQ(t.bid, 0x3EAu);
  EXPECT_EQ(t.crc, 0xE8FF2489u);
}

}  // namespace
}  // namespace pst::ndb
