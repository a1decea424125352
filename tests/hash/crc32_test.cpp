// CRC-32: standard check values, the table, the Finish/Value quirk that stored values depend on,
// and agreement of the eight-bytes-per-step path with a bit-at-a-time reference at every length and
// alignment.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "support/hash/crc32.h"

namespace {

// Bit at a time, straight from the polynomial: the register the byte-wise rule leaves.
std::uint32_t ReferenceRegister(const std::uint8_t* data, std::size_t size) {
  std::uint32_t reg = 0xFFFFFFFF;
  for (std::size_t i = 0; i < size; ++i) {
    reg ^= data[i];
    for (int bit = 0; bit < 8; ++bit) reg = (reg & 1) ? (reg >> 1) ^ 0xEDB88320u : reg >> 1;
  }
  return reg;
}

std::uint32_t ValueOf(std::string_view text) {
  hash::THashCrc32 crc;
  crc.Update(text);
  return crc.Value();
}

TEST(Crc32Table, KnownEntries) {
  EXPECT_EQ(hash::Crc32TableEntry(0), 0x00000000u);
  EXPECT_EQ(hash::Crc32TableEntry(1), 0x77073096u);
  EXPECT_EQ(hash::Crc32TableEntry(128), 0xEDB88320u);
  EXPECT_EQ(hash::Crc32TableEntry(255), 0x2D02EF8Du);
}

TEST(Crc32Value, WithoutFinishIsTheStandardCrc) {
  EXPECT_EQ(ValueOf("123456789"), 0xCBF43926u);
  EXPECT_EQ(ValueOf("abc"), 0x352441C2u);
  EXPECT_EQ(ValueOf("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
  EXPECT_EQ(ValueOf(""), 0x00000000u);
}

TEST(Crc32Value, AfterFinishIsTheComplementOfTheStandardCrc) {
  hash::THashCrc32 crc;
  crc.Update("abc");
  crc.Finish();
  EXPECT_EQ(crc.Value(), 0xCADBBE3Du);
  crc.Reset();
  crc.Update("123456789");
  crc.Finish();
  EXPECT_EQ(crc.Value(), 0x340BC6D9u);
}

TEST(Crc32Value, EmptyMessageFinishedReadsAsMinusOne) {
  hash::THashCrc32 crc;
  crc.Update("");
  crc.Finish();
  EXPECT_EQ(crc.Value(), 0xFFFFFFFFu);
  EXPECT_EQ(static_cast<std::int32_t>(crc.Value()), -1);
}

TEST(Crc32Value, ValueLeavesTheRegisterAlone) {
  hash::THashCrc32 crc;
  crc.Update("abc");
  EXPECT_EQ(crc.Value(), crc.Value());
  crc.Update("def");
  EXPECT_EQ(crc.Value(), ValueOf("abcdef"));
}

TEST(Crc32Value, FinishTwiceRestoresTheRegister) {
  hash::THashCrc32 crc;
  crc.Update("abc");
  crc.Finish();
  crc.Finish();
  EXPECT_EQ(crc.Value(), 0x352441C2u);
}

TEST(Crc32Update, PiecesGiveTheSameAsTheWhole) {
  const std::string text = "Received: from mail.example\r\nSubject: pieces and the whole\r\n";
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    hash::THashCrc32 crc;
    crc.Update(std::string_view(text).substr(0, cut));
    crc.Update(std::string_view(text).substr(cut));
    EXPECT_EQ(crc.Value(), ValueOf(text)) << cut;
  }
}

TEST(Crc32Update, EveryLengthAndAlignmentMatchesTheBitwiseReference) {
  std::mt19937 random(20261207);
  std::vector<std::uint8_t> data(300);
  for (auto& byte : data) byte = static_cast<std::uint8_t>(random());
  for (std::size_t start = 0; start < 9; ++start) {
    for (std::size_t size = 0; start + size <= data.size(); size += 7) {
      hash::THashCrc32 crc;
      crc.Update(std::span<const std::uint8_t>(data.data() + start, size));
      crc.Finish();  // Value is now the raw register
      ASSERT_EQ(crc.Value(), ReferenceRegister(data.data() + start, size))
          << "start " << start << " size " << size;
    }
  }
}

}  // namespace
