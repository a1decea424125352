// Block data encodings: the permute substitution and its inverse, the cyclic method's symmetry and
// key dependence, and the per-method dispatch.
#include "platform/pst/ndb/block_encoding.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace pst {
namespace {

std::vector<std::byte> AllByteValues() {
  std::vector<std::byte> v(256);
  for (int i = 0; i < 256; ++i) v[i] = static_cast<std::byte>(i);
  return v;
}

TEST(PermuteEncoding, EncodesWithThePublishedTableAndDecodesBack) {
  auto data = AllByteValues();
  EncodePermute(data);
  // First entries of the format's substitution table.
  EXPECT_EQ(data[0], std::byte{0x41});
  EXPECT_EQ(data[1], std::byte{0x36});
  EXPECT_EQ(data[2], std::byte{0x13});
  EXPECT_EQ(data[255], std::byte{0x3D});
  std::set<std::byte> distinct(data.begin(), data.end());
  EXPECT_EQ(distinct.size(), 256u) << "a substitution must be a permutation";
  DecodePermute(data);
  EXPECT_EQ(data, AllByteValues());
}

TEST(PermuteEncoding, DecodeOfEncodedHeapSignatureRestoresIt) {
  // A heap block starts with ibHnpm (2 bytes) then bSig 0xEC; an encoded block must decode to it.
  std::vector<std::byte> block = {std::byte{0x0C}, std::byte{0x00}, std::byte{0xEC},
                                  std::byte{0xBC}};
  auto encoded = block;
  EncodePermute(encoded);
  EXPECT_NE(encoded, block);
  DecodePermute(encoded);
  EXPECT_EQ(encoded, block);
}

TEST(CyclicEncoding, IsItsOwnInverse) {
  for (std::uint32_t key : {0u, 1u, 0x24u, 0xFFFFFFFFu, 0x12345678u}) {
    auto data = AllByteValues();
    CryptCyclic(data, key);
    EXPECT_NE(data, AllByteValues()) << key;
    CryptCyclic(data, key);
    EXPECT_EQ(data, AllByteValues()) << key;
  }
}

TEST(CyclicEncoding, DependsOnKeyAndPosition) {
  std::vector<std::byte> a(64, std::byte{0x55});
  auto b = a;
  CryptCyclic(a, 0x100);
  CryptCyclic(b, 0x104);
  EXPECT_NE(a, b);
  // The running word advances per byte, so equal plain bytes do not give equal output.
  std::set<std::byte> distinct(a.begin(), a.end());
  EXPECT_GT(distinct.size(), 1u);
}

TEST(CyclicEncoding, KeyFoldsHighAndLowHalves) {
  // Only (key ^ key >> 16) matters for the running word.
  std::vector<std::byte> a(32, std::byte{0x10});
  auto b = a;
  CryptCyclic(a, 0x00010000u);
  CryptCyclic(b, 0x00000001u);
  EXPECT_EQ(a, b);
}

TEST(BlockEncoding, DispatchesOnTheFileMethod) {
  const std::uint64_t bid = 0x1000000044ull;
  for (CryptMethod m : {CryptMethod::kNone, CryptMethod::kPermute, CryptMethod::kCyclic}) {
    auto data = AllByteValues();
    EncodeBlockData(m, data, bid);
    if (m == CryptMethod::kNone) {
      EXPECT_EQ(data, AllByteValues());
    } else {
      EXPECT_NE(data, AllByteValues());
    }
    DecodeBlockData(m, data, bid);
    EXPECT_EQ(data, AllByteValues());
  }
  auto cyclic = AllByteValues();
  EncodeBlockData(CryptMethod::kCyclic, cyclic, bid);
  auto low_key = AllByteValues();
  CryptCyclic(low_key, 0x44u);
  EXPECT_EQ(cyclic, low_key) << "the cyclic key is the low 32 bits of the block id";
}

TEST(BlockEncoding, KnowsTheHeaderValues) {
  EXPECT_TRUE(IsKnownCryptMethod(0));
  EXPECT_TRUE(IsKnownCryptMethod(1));
  EXPECT_TRUE(IsKnownCryptMethod(2));
  EXPECT_FALSE(IsKnownCryptMethod(3));
  EXPECT_FALSE(IsKnownCryptMethod(0x10));
}

}  // namespace
}  // namespace pst
