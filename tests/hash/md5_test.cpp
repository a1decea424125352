// MD5: the RFC 1321 test suite, the padding boundaries, digest layout and text, and the 4096-byte
// limit of the one-call hasher. Expected digests are published values or were computed with an
// independent MD5 implementation.
#include <gtest/gtest.h>

#include <string>

#include "support/hash/md5.h"

namespace {

struct Vector {
  std::string input;
  const char* digest;
};

TEST(Md5Text, Rfc1321Suite) {
  const Vector vectors[] = {
      {"", "D41D8CD98F00B204E9800998ECF8427E"},
      {"a", "0CC175B9C0F1B6A831C399E269772661"},
      {"abc", "900150983CD24FB0D6963F7D28E17F72"},
      {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
      {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "D174AB98D277D9F5A5611C2C9F419D9F"},
      {"1234567890123456789012345678901234567890123456789012345678901234567890123456789"
       "0",
       "57EDF4A22BE3C955AC49DA2E2107B67A"},
  };
  for (const Vector& v : vectors) EXPECT_EQ(hash::Md5Text(v.input), v.digest) << v.input;
}

TEST(Md5Text, PaddingBoundaries) {
  // 55 bytes leave room for the length in the same block; 56 and 63 need a second block.
  const Vector vectors[] = {
      {std::string(55, 'a'), "EF1772B6DFF9A122358552954AD0DF65"},
      {std::string(56, 'a'), "3B0C8AC703F828B04C6C197006D17218"},
      {std::string(63, 'a'), "B06521F39153D618550606BE297466D5"},
      {std::string(64, 'a'), "014842D480B571495A4A0363793F7367"},
  };
  for (const Vector& v : vectors) EXPECT_EQ(hash::Md5Text(v.input), v.digest) << v.input.size();
}

TEST(Md5Text, AllByteValues) {
  std::string input;
  for (int round = 0; round < 16; ++round) {
    for (int byte = 0; byte < 256; ++byte) input += static_cast<char>(byte);
  }
  EXPECT_EQ(hash::Md5Text(input), "2BCD3C4DE20C918E19FAB5C36249C70D");
}

TEST(Md5Limit, OnlyTheFirst4096BytesCount) {
  const std::string head(4096, 'a');
  EXPECT_EQ(hash::Md5Text(head), "21A199C53F422A380E20B162FB6EBE9C");
  // Same length, same first 4096 bytes, different ends: the same digest.
  EXPECT_EQ(hash::Md5Text(head + "first ending"), hash::Md5Text(head + "other ending"));
  // And it is the digest of the 4096-byte prefix, its bit length included.
  EXPECT_EQ(hash::Md5Text(head + std::string(10000, 'z')), hash::Md5Text(head));
}

TEST(Md5Limit, ABitOfDifferenceBeforeTheLimitCounts) {
  std::string a(4097, 'a'), b(4097, 'a');
  b[4095] = 'b';
  EXPECT_NE(hash::Md5Text(a), hash::Md5Text(b));
}

TEST(Md5Engine, HashesLongMessagesWhole) {
  const std::string head(4096, 'a');
  hash::TCrMD5 engine;
  engine.Hash(head + "x");
  hash::TCrMD5 prefix_only;
  prefix_only.Hash(head);
  EXPECT_NE(engine.Digest(), prefix_only.Digest());
}

TEST(Md5Engine, ResetRestoresTheInitialChainingWords) {
  hash::TCrMD5 engine;
  // The digest of the initial chaining words, least significant byte first.
  const hash::Md5Digest initial = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF,
                                   0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10};
  EXPECT_EQ(engine.Digest(), initial);
  engine.Hash("abc");
  EXPECT_NE(engine.Digest(), initial);
  engine.Reset();
  EXPECT_EQ(engine.Digest(), initial);
}

TEST(THashMd5, DigestBytesMatchTheDigestText) {
  hash::THashMd5 md5;
  md5.Hash("abc");
  md5.Finish();
  const hash::Md5Digest expected = {0x90, 0x01, 0x50, 0x98, 0x3C, 0xD2, 0x4F, 0xB0,
                                    0xD6, 0x96, 0x3F, 0x7D, 0x28, 0xE1, 0x7F, 0x72};
  EXPECT_EQ(md5.Digest(), expected);
  EXPECT_EQ(md5.DigestText(), "900150983CD24FB0D6963F7D28E17F72");
}

TEST(THashMd5, ResetAllowsAnotherMessage) {
  hash::THashMd5 md5;
  md5.Hash("something else");
  md5.Finish();
  md5.Reset();
  md5.Hash("abc");
  md5.Finish();
  EXPECT_EQ(md5.DigestText(), "900150983CD24FB0D6963F7D28E17F72");
}

}  // namespace
