// The inspector's SHA-256: the FIPS 180-4 example vectors, a million "a" fed in uneven pieces,
// and every length around the padding boundaries against coreutils' sha256sum.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#include "tests/support/temp_dir.h"
#include "tools/pstinfo/sha256.h"

namespace {

using pstinfo::Sha256;
using pstinfo::Sha256Hex;

TEST(Sha256, StandardVectors) {
  EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(
      Sha256Hex("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmno"
                "pqklmnopqrlmnopqrsmnopqrstnopqrstu"),
      "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
}

TEST(Sha256, MillionAFedInUnevenPieces) {
  Sha256 sha;
  const std::string piece(997, 'a');
  std::size_t left = 1000000;
  for (std::size_t n = 1; left > 0; n = n % 997 + 13) {
    const std::size_t take = std::min({n, left, piece.size()});
    sha.Update(std::string_view(piece).substr(0, take));
    left -= take;
  }
  EXPECT_EQ(pstinfo::ToHex(sha.Finish()),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

std::string SystemSha256(const std::string& path) {
  std::FILE* pipe = popen(("sha256sum '" + path + "'").c_str(), "r");
  if (!pipe) return {};
  char digest[65] = {};
  const std::size_t n = std::fread(digest, 1, 64, pipe);
  pclose(pipe);
  return std::string(digest, n);
}

TEST(Sha256, EveryLengthAroundBlockBoundariesMatchesSha256sum) {
  test_support::TempDir dir;
  const std::string path = dir / "data";
  for (std::size_t length : {1u, 54u, 55u, 56u, 57u, 63u, 64u, 65u, 119u, 120u, 127u, 128u, 129u}) {
    std::string data;
    for (std::size_t i = 0; i < length; ++i) data.push_back(static_cast<char>(i * 37 + 11));
    std::ofstream(path, std::ios::binary) << data;
    const std::string expected = SystemSha256(path);
    if (expected.size() != 64) GTEST_SKIP() << "sha256sum is not available";
    EXPECT_EQ(Sha256Hex(data), expected) << length << " bytes";
  }
}

}  // namespace
