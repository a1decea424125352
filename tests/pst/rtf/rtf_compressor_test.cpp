// Compressed RTF writing: round trips through the decompressor, real compression of repetitive
// text, and the header fields the reader relies on.
#include "platform/pst/rtf/rtf_compressor.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/pst/rtf/compressed_rtf_header.h"
#include "platform/pst/rtf/rtf_decompressor.h"
#include "platform/pst/util/format_crc.h"

namespace pst::rtf {
namespace {

std::string RoundTrip(const std::string& raw, bool compressed) {
  auto value = CompressRtf(raw, compressed);
  auto r = DecompressRtf(value);
  EXPECT_TRUE(r.ok()) << r.status().message();
  if (!r.ok()) return {};
  EXPECT_FALSE(r->crc_mismatch);
  EXPECT_FALSE(r->size_mismatch);
  return r->rtf;
}

std::string RandomText(std::size_t n, unsigned seed, int alphabet) {
  std::mt19937 rng(seed);
  std::string s(n, ' ');
  for (char& c : s) c = static_cast<char>('A' + rng() % alphabet);
  return s;
}

TEST(RtfCompress, RoundTripsVariedInputs) {
  const std::string inputs[] = {
      "",
      "x",
      "{\\rtf1\\ansi\\ansicpg1252\\pard hello world}\r\n",
      "{\\rtf1 WXYZWXYZWXYZWXYZWXYZ}",
      std::string(10000, 'a'),
      RandomText(9000, 1, 4),
      RandomText(20000, 2, 26),
      std::string("\0\x01\xff\xfe", 4) + RandomText(5000, 3, 2),
  };
  for (const std::string& raw : inputs) {
    EXPECT_EQ(RoundTrip(raw, true), raw) << raw.size();
    EXPECT_EQ(RoundTrip(raw, false), raw) << raw.size();
  }
}

TEST(RtfCompress, LongInputWrapsTheWindowManyTimes) {
  std::string raw;
  for (int i = 0; i < 3000; ++i) raw += "{\\par line " + std::to_string(i * 7919 % 1000) + "}\r\n";
  EXPECT_EQ(RoundTrip(raw, true), raw);
}

TEST(RtfCompress, RepetitiveRtfShrinks) {
  std::string raw = "{\\rtf1\\ansi\\deff0{\\fonttbl;}";
  for (int i = 0; i < 200; ++i) raw += "\\par \\pard\\plain\\f0\\fs20 Hello again\r\n";
  raw += "}";
  auto value = CompressRtf(raw, true);
  EXPECT_LT(value.size(), raw.size() / 4);
}

TEST(RtfCompress, HeaderRecordsSizesTypeAndCrc) {
  const std::string raw = "{\\rtf1 header check}";
  auto value = CompressRtf(raw, true);
  auto h = CompressedRtfHeader::Decode(value);
  ASSERT_TRUE(h.ok());
  EXPECT_EQ(h->comp_size, value.size() - 4);
  EXPECT_EQ(h->raw_size, raw.size());
  EXPECT_TRUE(h->compressed());
  EXPECT_EQ(h->crc, util::ComputeCrc(0, std::span(value).subspan(16)));

  auto stored = CompressRtf(raw, false);
  auto s = CompressedRtfHeader::Decode(stored);
  ASSERT_TRUE(s.ok());
  EXPECT_FALSE(s->compressed());
  EXPECT_EQ(s->crc, 0u);
  EXPECT_EQ(stored.size(), 16 + raw.size());
}

TEST(RtfCompress, PreloadedDictionaryIsUsedFromTheFirstByte) {
  // Text that appears in the preload compresses to references even at the very start.
  const std::string raw = "{\\rtf1\\ansi\\mac\\deff0\\deftab720";
  auto value = CompressRtf(raw, true);
  EXPECT_LT(value.size(), 16 + raw.size() / 2);
  EXPECT_EQ(RoundTrip(raw, true), raw);
}

}  // namespace
}  // namespace pst::rtf
