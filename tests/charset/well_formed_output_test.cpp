// Whatever bytes come in, every registered set yields UTF-8 that converts again without a fault:
// no surrogate, no malformed sequence, no U+FFFD left for the next conversion to trip over.
#include <random>

#include "support/charset/charset_registry.h"
#include "tests/charset/byte_strings.h"

namespace charset::testing {
namespace {

std::string RandomBytes(std::mt19937& random, std::size_t size) {
  std::string bytes(size, '\0');
  std::uniform_int_distribution<int> byte(0, 255);
  for (char& c : bytes) c = static_cast<char>(byte(random));
  return bytes;
}

TEST(WellFormedOutput, RandomBytesFromEverySetGiveWellFormedUtf8) {
  TPlCharsetRegistry::Instance().ResetForTesting({PST2XMZ_BIN_DIR});
  const std::vector<const TPlCharsetInfo*> sets = TPlCharsetRegistry::Instance().Entries();
  ASSERT_GT(sets.size(), 30u);
  std::mt19937 random(20261207);
  for (const TPlCharsetInfo* set : sets) {
    for (int round = 0; round < 4; ++round) {
      std::string input = RandomBytes(random, 4096);
      // Mostly ASCII in half the rounds, so that stateful sets see their shift characters.
      if (round % 2) {
        for (char& c : input) c = static_cast<char>(static_cast<unsigned char>(c) % 0x80);
      }
      const std::string utf8 = TPlConverter(set->name, "utf-8").Convert(input);
      EXPECT_NO_THROW(TPlConverter("utf-8", "utf-8").Convert(utf8, kPlRaiseIllegal))
          << set->name << " round " << round;
    }
  }
  TPlCharsetRegistry::Instance().ResetForTesting(TPlCharsetRegistry::DefaultLibraryDirectories());
}

}  // namespace
}  // namespace charset::testing
