// Block data encodings: the permute substitution and its inverse, the cyclic method's symmetry and
// key dependence, the per-method dispatch, and agreement of every vector kernel the CPU runs with
// the scalar one on random data of every length and alignment.
#include "platform/pst/ndb/block_encoding.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

namespace pst::ndb {
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

std::vector<std::byte> RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 gen(seed);
  std::vector<std::byte> out(size);
  for (auto& b : out) b = static_cast<std::byte>(gen());
  return out;
}

class EncodingKernelTest : public ::testing::TestWithParam<EncodingKernel> {
 protected:
  void SetUp() override {
    if (!EncodingKernelAvailable(GetParam())) GTEST_SKIP() << "this CPU lacks the kernel";
  }
};

TEST_P(EncodingKernelTest, PermuteDecodingMatchesScalarAtEveryLengthAndAlignment) {
  const auto data = RandomBytes(300, 1);
  for (std::size_t start = 0; start < 64; start += 7) {
    for (std::size_t size = 0; start + size <= data.size(); ++size) {
      std::vector<std::byte> expected(data.begin() + start, data.begin() + start + size);
      DecodePermuteWith(EncodingKernel::kScalar, expected);
      // The kernel works in place inside a larger buffer: bytes around it must stay.
      auto around = data;
      DecodePermuteWith(GetParam(), std::span<std::byte>(around).subspan(start, size));
      ASSERT_TRUE(std::equal(expected.begin(), expected.end(), around.begin() + start))
          << "start " << start << " size " << size;
      ASSERT_TRUE(std::equal(data.begin(), data.begin() + start, around.begin()));
      ASSERT_TRUE(
          std::equal(data.begin() + start + size, data.end(), around.begin() + start + size));
    }
  }
}

TEST_P(EncodingKernelTest, PermuteDecodingCoversEveryByteValueOnLargeBuffers) {
  auto expected = RandomBytes(8192 + 37, 2);
  for (std::size_t i = 0; i < 256; ++i) expected[i * 3] = static_cast<std::byte>(i);
  auto actual = expected;
  DecodePermuteWith(EncodingKernel::kScalar, expected);
  DecodePermuteWith(GetParam(), actual);
  EXPECT_EQ(actual, expected);
}

TEST_P(EncodingKernelTest, CyclicMatchesScalarForKeysThatWrapInsideAVector) {
  // Keys whose running word carries into its high byte, or wraps at 0xFFFF, within the first
  // vector, and ordinary block ids.
  const std::uint32_t keys[] = {0x0u,        0xF0u,       0xFFFFu,    0xFFC1u,
                                0x10000FFEu, 0x12345678u, 0x7FFFFFFCu};
  const auto data = RandomBytes(700, 3);
  for (std::uint32_t key : keys) {
    for (std::size_t size : {0u, 1u, 31u, 32u, 33u, 63u, 64u, 65u, 127u, 200u, 511u, 700u}) {
      std::vector<std::byte> expected(data.begin(), data.begin() + size);
      auto actual = expected;
      CryptCyclicWith(EncodingKernel::kScalar, expected, key);
      CryptCyclicWith(GetParam(), actual, key);
      ASSERT_EQ(actual, expected) << "key " << key << " size " << size;
    }
  }
}

TEST_P(EncodingKernelTest, CyclicMatchesScalarAtOddOffsets) {
  auto expected = RandomBytes(4096 + 50, 4);
  auto actual = expected;
  std::span<std::byte> e(expected), a(actual);
  CryptCyclicWith(EncodingKernel::kScalar, e.subspan(13, 4000), 0xABCDEF12u);
  CryptCyclicWith(GetParam(), a.subspan(13, 4000), 0xABCDEF12u);
  EXPECT_EQ(actual, expected);
}

INSTANTIATE_TEST_SUITE_P(Kernels, EncodingKernelTest,
                         ::testing::Values(EncodingKernel::kScalar, EncodingKernel::kAvx2,
                                           EncodingKernel::kAvx512Vbmi),
                         [](const auto& info) {
                           switch (info.param) {
                             case EncodingKernel::kAvx2:
                               return std::string("Avx2");
                             case EncodingKernel::kAvx512Vbmi:
                               return std::string("Avx512Vbmi");
                             default:
                               return std::string("Scalar");
                           }
                         });

TEST(EncodingKernelChoice, TheBestKernelRunsHereAndTheDefaultFunctionsUseIt) {
  EXPECT_TRUE(EncodingKernelAvailable(BestEncodingKernel()));
  auto expected = RandomBytes(1000, 5);
  auto actual = expected;
  DecodePermuteWith(EncodingKernel::kScalar, expected);
  DecodePermute(actual);
  EXPECT_EQ(actual, expected);
}

}  // namespace
}  // namespace pst::ndb
