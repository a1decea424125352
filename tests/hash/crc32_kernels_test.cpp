// The CRC-32 kernels: every kernel this CPU runs gives zlib's CRC-32 (inverted seed and result) on
// random data of every length up to a few folds and at every alignment, chains across any cut, and
// gives the published check value. A kernel the CPU lacks is reported as skipped, not passed.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "support/hash/crc32_update.h"

namespace {

using hash::Crc32Kernel;

std::uint32_t ZlibRegister(std::uint32_t reg, const std::uint8_t* data, std::size_t size) {
  return ~static_cast<std::uint32_t>(crc32(~reg, data, static_cast<uInt>(size)));
}

std::vector<std::uint8_t> RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 gen(seed);
  std::vector<std::uint8_t> out(size);
  for (auto& b : out) b = static_cast<std::uint8_t>(gen());
  return out;
}

class Crc32KernelTest : public ::testing::TestWithParam<Crc32Kernel> {
 protected:
  void SetUp() override {
    if (!hash::Crc32KernelAvailable(GetParam())) GTEST_SKIP() << "this CPU lacks the kernel";
  }
  std::uint32_t Run(std::uint32_t reg, const std::uint8_t* data, std::size_t size) const {
    return hash::AdvanceCrc32With(GetParam(), reg, data, size);
  }
};

TEST_P(Crc32KernelTest, GivesThePublishedCheckValue) {
  const std::string text = "123456789";
  const auto* p = reinterpret_cast<const std::uint8_t*>(text.data());
  EXPECT_EQ(~Run(0xFFFFFFFF, p, text.size()), 0xCBF43926u);
  // Long enough for the folding path: 64 copies of the check text.
  std::string long_text;
  for (int i = 0; i < 64; ++i) long_text += text;
  const auto* q = reinterpret_cast<const std::uint8_t*>(long_text.data());
  EXPECT_EQ(Run(0xFFFFFFFF, q, long_text.size()), ZlibRegister(0xFFFFFFFF, q, long_text.size()));
}

TEST_P(Crc32KernelTest, AgreesWithZlibAtEveryLengthAndAlignment) {
  const auto data = RandomBytes(700, 7);
  for (std::size_t start = 0; start < 16; ++start) {
    for (std::size_t size = 0; start + size <= data.size(); ++size) {
      const std::uint32_t seed = static_cast<std::uint32_t>(size * 0x9E3779B9u + start);
      ASSERT_EQ(Run(seed, data.data() + start, size), ZlibRegister(seed, data.data() + start, size))
          << "start " << start << " size " << size;
    }
  }
}

TEST_P(Crc32KernelTest, AgreesWithZlibOnLargeBuffersAndChainsAcrossCuts) {
  const auto data = RandomBytes(1 << 18, 11);
  const std::uint32_t whole = ZlibRegister(0, data.data(), data.size());
  EXPECT_EQ(Run(0, data.data(), data.size()), whole);
  std::mt19937 gen(3);
  for (int round = 0; round < 50; ++round) {
    const std::size_t cut = gen() % data.size();
    const std::uint32_t first = Run(0, data.data(), cut);
    ASSERT_EQ(Run(first, data.data() + cut, data.size() - cut), whole) << "cut " << cut;
  }
}

TEST_P(Crc32KernelTest, AllZeroAndAllOnesBuffers) {
  for (std::uint8_t fill : {std::uint8_t{0}, std::uint8_t{0xFF}}) {
    const std::vector<std::uint8_t> data(4096 + 48, fill);
    for (std::uint32_t seed : {0u, 0xFFFFFFFFu}) {
      EXPECT_EQ(Run(seed, data.data(), data.size()), ZlibRegister(seed, data.data(), data.size()));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Kernels, Crc32KernelTest,
                         ::testing::Values(Crc32Kernel::kTable, Crc32Kernel::kClmul),
                         [](const auto& info) {
                           return info.param == Crc32Kernel::kTable ? std::string("Table")
                                                                    : std::string("Clmul");
                         });

TEST(Crc32KernelChoice, TheBestKernelIsAvailableAndUsedByDefault) {
  EXPECT_TRUE(hash::Crc32KernelAvailable(hash::BestCrc32Kernel()));
  EXPECT_TRUE(hash::Crc32KernelAvailable(Crc32Kernel::kTable));
  const auto data = RandomBytes(1000, 5);
  EXPECT_EQ(hash::AdvanceCrc32(1, data.data(), data.size()),
            hash::AdvanceCrc32With(Crc32Kernel::kTable, 1, data.data(), data.size()));
}

}  // namespace
