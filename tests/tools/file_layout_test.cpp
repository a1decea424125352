// The node-database frame of writer-made files, checked on the raw bytes: header fields and both
// checksums, allocation-map pages at their fixed places (with the free map past 128 intervals),
// the density list, and the allocator that keeps blocks clear of the map pages.
#include <gtest/gtest.h>

#include "platform/pst/ndb/pst_crc.h"
#include "tests/tools/writer_test_support.h"
#include "tools/pstwriter/file_space.h"
#include "tools/pstwriter/message_helpers.h"
#include "tools/pstwriter/pst_builder.h"
#include "tools/pstwriter/write_error.h"

namespace {

using namespace pstwriter;
using test_support::ReadFileBytes;
using test_support::TempDir;

std::uint64_t Le(const std::vector<std::byte>& b, std::size_t at, std::size_t width) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < width; ++i) v |= std::uint64_t(b[at + i]) << (8 * i);
  return v;
}

std::uint32_t Crc(const std::vector<std::byte>& b, std::size_t at, std::size_t length) {
  return pst::util::ComputeCrc(0, std::span<const std::byte>(b).subspan(at, length));
}

std::vector<std::byte> WriteFile(const std::string& path, FileFormat format,
                                 std::uint64_t attachment_size) {
  PstBuilder b(path, {.format = format, .crypt = pst::ndb::CryptMethod::kCyclic});
  Message m = MakeMail("layout", "S", "s@x", 0);
  m.attachments.push_back(
      MakeFileAttachment("a", std::make_shared<PatternSource>(1, attachment_size)));
  b.AddMessage(b.ipm_subtree(), m);
  b.Finish();
  return ReadFileBytes(path);
}

// The writer's sizes written out from the published format documents, independently of the size
// table the writer shares with the reader, so that a wrong shared value cannot pass unnoticed.
struct PublishedSizes {
  FileFormat format;
  std::size_t id, page, page_trailer, page_data, block_align, block_trailer, max_block_data,
      bt_entries, nbt_entry, bbt_entry, bt_entry;
  bool compressed;
};

TEST(FileFormatSizes, MatchThePublishedLayoutOfEachVariant) {
  const PublishedSizes table[] = {
      {FileFormat::kAnsi, 4, 512, 12, 500, 64, 12, 8180, 496, 16, 12, 12, false},
      {FileFormat::kUnicode, 8, 512, 16, 496, 64, 16, 8176, 488, 32, 24, 24, false},
      {FileFormat::kUnicode4k, 8, 4096, 24, 4072, 512, 24, 65512, 4056, 32, 24, 24, true},
  };
  for (const PublishedSizes& want : table) {
    SCOPED_TRACE(static_cast<int>(want.format));
    const FormatTraits& t = TraitsFor(want.format);
    EXPECT_EQ(t.id_size, want.id);
    EXPECT_EQ(t.page_size, want.page);
    EXPECT_EQ(t.page_trailer_size, want.page_trailer);
    EXPECT_EQ(t.page_data_size, want.page_data);
    EXPECT_EQ(t.block_align, want.block_align);
    EXPECT_EQ(t.block_trailer_size, want.block_trailer);
    EXPECT_EQ(t.max_block_data, want.max_block_data);
    EXPECT_EQ(t.bt_entries_size, want.bt_entries);
    EXPECT_EQ(t.nbt_leaf_entry_size, want.nbt_entry);
    EXPECT_EQ(t.bbt_leaf_entry_size, want.bbt_entry);
    EXPECT_EQ(t.bt_branch_entry_size, want.bt_entry);
    EXPECT_EQ(t.compressed_blocks, want.compressed);
  }
}

TEST(FileLayout, UnicodeHeaderCarriesBothChecksumsAndTheFileSize) {
  TempDir dir;
  auto f = WriteFile(dir / "u.pst", FileFormat::kUnicode, 1000);
  ASSERT_GE(f.size(), 0x4600u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(f.data()), 4), "!BDN");
  EXPECT_EQ(Le(f, 8, 2), 0x4D53u);  // wMagicClient
  EXPECT_EQ(Le(f, 10, 2), 23u);     // wVer
  EXPECT_EQ(Le(f, 4, 4), Crc(f, 8, 471));
  EXPECT_EQ(Le(f, 524, 4), Crc(f, 8, 516));
  EXPECT_EQ(Le(f, 512, 1), 0x80u);         // bSentinel
  EXPECT_EQ(Le(f, 513, 1), 0x02u);         // bCryptMethod: cyclic
  EXPECT_EQ(Le(f, 180 + 4, 8), f.size());  // ROOT.ibFileEof
  FileSpace geometry(TraitsFor(FileFormat::kUnicode));
  EXPECT_EQ((f.size() - 0x4400) % geometry.interval_size(), 0u);
}

TEST(FileLayout, AnsiHeaderUsesThirtyTwoBitFields) {
  TempDir dir;
  auto f = WriteFile(dir / "a.pst", FileFormat::kAnsi, 1000);
  EXPECT_EQ(Le(f, 10, 2), 14u);
  EXPECT_EQ(Le(f, 4, 4), Crc(f, 8, 471));
  EXPECT_EQ(Le(f, 460, 1), 0x80u);
  EXPECT_EQ(Le(f, 164 + 4, 4), f.size());
}

TEST(FileLayout, MapPagesSitAtTheirPlacesWithValidTrailers) {
  TempDir dir;
  // 40 MB of data reach beyond 128 intervals, where the first free-map page lives.
  auto f = WriteFile(dir / "maps.pst", FileFormat::kUnicode, 40u << 20);
  FileSpace geometry(TraitsFor(FileFormat::kUnicode));
  const std::size_t intervals = (f.size() - 0x4400) / geometry.interval_size();
  ASSERT_GT(intervals, 128u);
  std::uint64_t free_slots = 0;
  for (std::size_t k = 0; k < intervals; ++k) {
    std::size_t at = geometry.IntervalStart(k);
    ASSERT_EQ(Le(f, at + 496, 1), 0x84u) << "AMap " << k;
    ASSERT_EQ(Le(f, at + 500, 4), Crc(f, at, 496)) << "AMap " << k;
    ASSERT_EQ(Le(f, at, 1), 0xFFu) << "an AMap maps itself";
    for (std::size_t i = 0; i < 496; ++i) free_slots += 8 - __builtin_popcount(unsigned(f[at + i]));
    if (k % 8 == 0) {
      EXPECT_EQ(Le(f, at + 512 + 496, 1), 0x83u) << "PMap " << k;
    }
  }
  EXPECT_EQ(Le(f, 0x1F04800 + 496, 1), 0x82u);  // FMap after 128 AMaps
  EXPECT_EQ(Le(f, 0x1F04800 + 500, 4), Crc(f, 0x1F04800, 496));
  EXPECT_EQ(Le(f, 180 + 20, 8), free_slots * 64);  // ROOT.cbAMapFree
  EXPECT_EQ(Le(f, 0x4200 + 496, 1), 0x86u);        // density list
  EXPECT_EQ(Le(f, 0x4200 + 500, 4), Crc(f, 0x4200, 496));
}

TEST(FileLayout, FourKibibytePagesPutTheMapsAndTrailersWhereThatVariantKeepsThem) {
  TempDir dir;
  auto f = WriteFile(dir / "4k.pst", FileFormat::kUnicode4k, 100000);
  EXPECT_EQ(Le(f, 10, 2), 36u);
  EXPECT_EQ(Le(f, 4, 4), Crc(f, 8, 471));
  EXPECT_EQ(Le(f, 524, 4), Crc(f, 8, 516));
  EXPECT_EQ(f.size() % 4096, 0u);
  EXPECT_EQ(Le(f, 180 + 4, 8), f.size());
  EXPECT_EQ(Le(f, 0x22000 + 4072, 1), 0x84u);  // the AMap, 4 KiB after the density list
  EXPECT_EQ(Le(f, 0x22000 + 4076, 4), Crc(f, 0x22000, 4072));
  EXPECT_EQ(Le(f, 0x22000, 1), 0xFFu);
  EXPECT_EQ(Le(f, 0x21000 + 4072, 1), 0x86u);
}

TEST(FileSpaceAllocation, BlocksNeverCrossAnIntervalOrTouchMapPages) {
  FileSpace space(TraitsFor(FileFormat::kUnicode));
  EXPECT_EQ(space.Allocate(64, 64), 0x4800u);  // after the first AMap and PMap
  std::uint64_t previous_end = 0x4840;
  for (int i = 0; i < 5000; ++i) {
    std::uint64_t size = 64 * (1 + (i * 37) % 128);
    std::uint64_t at = space.Allocate(size, i % 7 == 0 ? 512 : 64);
    std::size_t k = (at - 0x4400) / space.interval_size();
    ASSERT_LE(at + size, space.IntervalStart(k + 1)) << i;
    std::uint64_t reserved =
        512 + (space.HasPMap(k) ? 512 : 0) + (space.HasFMap(k) || space.HasFPMap(k) ? 512 : 0);
    ASSERT_GE(at, space.IntervalStart(k) + reserved) << i;
    ASSERT_GE(at, previous_end) << i;
    previous_end = at + size;
  }
}

TEST(FileSpaceAllocation, GrowingPastTheVariantsReachIsRefused) {
  FileSpace space(TraitsFor(FileFormat::kAnsi));
  EXPECT_THROW(
      {
        for (int i = 0; i < 300000; ++i) space.Allocate(8192, 64);
      },
      WriteError);
  EXPECT_LE(space.file_end(), 0x7FFFFFFFu);
}

}  // namespace
