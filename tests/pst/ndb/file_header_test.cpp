// File header decoding: the three variants, and every way a header can be refused.
#include "platform/pst/ndb/file_header.h"

#include <gtest/gtest.h>

#include <cstring>

#include "ndb_image_builder.h"
#include "platform/pst/ndb/pst_crc.h"

namespace pst::ndb {
namespace {

using testing::NdbImageBuilder;

std::vector<std::byte> HeaderOf(FormatVariant v, CryptMethod m = CryptMethod::kPermute) {
  NdbImageBuilder b(v, m);
  auto image = b.Build();
  image.resize(FileHeader::kReadSize);
  return image;
}

void Recrc(std::vector<std::byte>& h) {
  std::span<const std::byte> all(h);
  testing::PutLe32(h, 4, util::ComputeCrc(0, all.subspan(8, 471)));
  if (static_cast<std::uint8_t>(h[10]) >= 23)
    testing::PutLe32(h, 524, util::ComputeCrc(0, all.subspan(8, 516)));
}

struct VariantCase {
  FormatVariant variant;
  std::uint16_t version;
  std::size_t id_size;
};

class HeaderVariants : public ::testing::TestWithParam<VariantCase> {};

TEST_P(HeaderVariants, DecodesVersionLayoutAndRoots) {
  const auto& c = GetParam();
  auto raw = HeaderOf(c.variant, CryptMethod::kCyclic);
  auto h = FileHeader::Decode(raw);
  ASSERT_TRUE(h.ok()) << h.status().message();
  EXPECT_EQ(h->variant, c.variant);
  EXPECT_EQ(h->version, c.version);
  EXPECT_EQ(h->layout().id_size, c.id_size);
  EXPECT_EQ(h->crypt_method, CryptMethod::kCyclic);
  EXPECT_FALSE(h->offline_store);
  EXPECT_NE(h->nbt_root.ib, 0u);
  EXPECT_NE(h->bbt_root.ib, 0u);
  EXPECT_NE(h->nbt_root.ib, h->bbt_root.ib);
}

INSTANTIATE_TEST_SUITE_P(All, HeaderVariants,
                         ::testing::Values(VariantCase{FormatVariant::kAnsi, 14, 4},
                                           VariantCase{FormatVariant::kUnicode, 23, 8},
                                           VariantCase{FormatVariant::kUnicode4k, 36, 8}));

TEST(FileHeader, OfflineStoreClientSignatureIsRecognised) {
  auto raw = HeaderOf(FormatVariant::kUnicode);
  testing::PutLe16(raw, 8, 0x4F53);  // "SO"
  Recrc(raw);
  auto h = FileHeader::Decode(raw);
  ASSERT_TRUE(h.ok());
  EXPECT_TRUE(h->offline_store);
}

struct RefusalCase {
  const char* name;
  void (*damage)(std::vector<std::byte>&);
  ErrorCode code;
  const char* words;  // expected in the message
};

class HeaderRefusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(HeaderRefusals, NamesWhatIsWrong) {
  const auto& c = GetParam();
  auto raw = HeaderOf(FormatVariant::kUnicode);
  c.damage(raw);
  auto h = FileHeader::Decode(raw);
  ASSERT_FALSE(h.ok());
  EXPECT_EQ(h.status().code(), c.code) << h.status().message();
  EXPECT_NE(h.status().message().find(c.words), std::string::npos) << h.status().message();
}

INSTANTIATE_TEST_SUITE_P(
    All, HeaderRefusals,
    ::testing::Values(
        RefusalCase{"Zeroed", [](auto& h) { std::fill(h.begin(), h.end(), std::byte{0}); },
                    ErrorCode::kNotPst, "not a personal-folders file"},
        RefusalCase{"Empty", [](auto& h) { h.clear(); }, ErrorCode::kNotPst,
                    "not a personal-folders file"},
        RefusalCase{"TextFile",
                    [](auto& h) { std::memcpy(h.data(), "From someone@example.org", 24); },
                    ErrorCode::kNotPst, "not a personal-folders file"},
        RefusalCase{"TruncatedAfterMagic", [](auto& h) { h.resize(300); }, ErrorCode::kCorrupt,
                    "truncated"},
        RefusalCase{"PartialCrc", [](auto& h) { h[100] ^= std::byte{1}; }, ErrorCode::kCorrupt,
                    "partial checksum"},
        RefusalCase{"FullCrc",
                    [](auto& h) {
                      h[500] ^= std::byte{1};  // beyond the partial CRC's range
                    },
                    ErrorCode::kCorrupt, "full checksum"},
        RefusalCase{"UnknownVersion",
                    [](auto& h) {
                      testing::PutLe16(h, 10, 30);
                      Recrc(h);
                    },
                    ErrorCode::kUnsupported, "version 30"},
        RefusalCase{"UnknownClient",
                    [](auto& h) {
                      testing::PutLe16(h, 8, 0x4241);
                      Recrc(h);
                    },
                    ErrorCode::kUnsupported, "client signature"},
        RefusalCase{"UnknownEncoding",
                    [](auto& h) {
                      h[513] = std::byte{0x10};
                      Recrc(h);
                    },
                    ErrorCode::kUnsupported, "encoding 0x10"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pst::ndb
