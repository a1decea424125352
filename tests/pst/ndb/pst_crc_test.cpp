// The format's CRC and signature: agreement with the common CRC-32 check value, chaining, every
// length through the eight-byte fast path, and the stored header CRCs of real files.
#include "platform/pst/ndb/pst_crc.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace pst::ndb {
namespace {

std::vector<std::byte> Bytes(const std::string& s) {
  std::vector<std::byte> out(s.size());
  std::memcpy(out.data(), s.data(), s.size());
  return out;
}

// Bit-at-a-time reference of the same polynomial, slow but obviously right.
std::uint32_t BitwiseCrc(std::uint32_t crc, const std::vector<std::byte>& data) {
  for (std::byte b : data) {
    crc ^= static_cast<std::uint8_t>(b);
    for (int i = 0; i < 8; ++i) crc = (crc & 1u) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
  }
  return crc;
}

TEST(PstCrc, WithInvertedSeedAndResultItIsTheCommonCrc32) {
  // The common CRC-32 is this routine seeded with all ones and inverted at the end.
  EXPECT_EQ(util::ComputeCrc(0xFFFFFFFFu, Bytes("123456789")) ^ 0xFFFFFFFFu, 0xCBF43926u);
}

TEST(PstCrc, EmptyInputReturnsTheSeed) {
  EXPECT_EQ(util::ComputeCrc(0, {}), 0u);
  EXPECT_EQ(util::ComputeCrc(0x12345678u, {}), 0x12345678u);
}

TEST(PstCrc, AgreesWithBitwiseReferenceForEveryLengthAndAlignment) {
  std::vector<std::byte> data(70);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::byte>(i * 37 + 11);
  for (std::size_t start = 0; start < 8; ++start) {
    for (std::size_t len = 0; start + len <= data.size(); ++len) {
      std::vector<std::byte> piece(data.begin() + start, data.begin() + start + len);
      ASSERT_EQ(util::ComputeCrc(0x5A5A5A5Au, piece), BitwiseCrc(0x5A5A5A5Au, piece))
          << "start " << start << " length " << len;
    }
  }
}

TEST(PstCrc, ChainsAcrossSplitBuffers) {
  auto data = Bytes("The quick brown fox jumps over the lazy dog, twice over the dog");
  std::uint32_t whole = util::ComputeCrc(0, data);
  for (std::size_t cut = 0; cut <= data.size(); ++cut) {
    std::span<const std::byte> all(data);
    EXPECT_EQ(util::ComputeCrc(util::ComputeCrc(0, all.first(cut)), all.subspan(cut)), whole)
        << cut;
  }
}

TEST(PstSig, FoldsTheXorOfPositionAndIdToSixteenBits) {
  EXPECT_EQ(util::ComputeSig(0, 0), 0);
  EXPECT_EQ(util::ComputeSig(0x00010000u, 0), 0x0001);
  EXPECT_EQ(util::ComputeSig(0x12345678u, 0x12345678u), 0);
  EXPECT_EQ(util::ComputeSig(0x0000ABCDu, 0x00000000u), 0xABCD);
  EXPECT_EQ(util::ComputeSig(0xABCD0000u, 0x0000ABCDu), 0);
  // Only the low 32 bits of position and id take part.
  EXPECT_EQ(util::ComputeSig(0x100000000ull | 0x4400, 0x22), util::ComputeSig(0x4400, 0x22));
}

std::vector<std::byte> ReadPrefix(const std::string& path, std::size_t n) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::byte> out(n);
  in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(n));
  out.resize(static_cast<std::size_t>(in.gcount()));
  return out;
}

std::uint32_t Le32(const std::vector<std::byte>& b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

TEST(PstCrc, MatchesTheStoredHeaderChecksumsOfRealFiles) {
  const std::filesystem::path dir = PST2XMZ_SAMPLES_DIR;
  if (!std::filesystem::exists(dir)) GTEST_SKIP() << "no sample files";
  // Partial CRC: 471 bytes from offset 8 (all variants); full CRC: 516 bytes from offset 8,
  // stored at 524 (Unicode and 4 KiB-page files).
  for (const char* name : {"pstsdk-sample1.pst", "pstsdk-sample2.pst", "pstx-outlookcom.ost"}) {
    auto header = ReadPrefix((dir / name).string(), 564);
    ASSERT_EQ(header.size(), 564u) << name;
    std::span<const std::byte> h(header);
    EXPECT_EQ(util::ComputeCrc(0, h.subspan(8, 471)), Le32(header, 4)) << name;
    bool ansi = static_cast<std::uint8_t>(header[10]) < 23;
    if (!ansi) {
      EXPECT_EQ(util::ComputeCrc(0, h.subspan(8, 516)), Le32(header, 524)) << name;
    }
  }
}

}  // namespace
}  // namespace pst::ndb
