// Compressed RTF decompression: the published examples, the stored form, feeding in chunks,
// CRC and size mismatches, and damaged or lying input.
#include "platform/pst/rtf/rtf_decompressor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "platform/pst/rtf/rtf_compressor.h"

namespace pst::rtf {
namespace {

std::vector<std::byte> Hex(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::byte> out;
  unsigned v;
  while (in >> std::hex >> v) out.push_back(static_cast<std::byte>(v));
  return out;
}

// The two worked examples of the compressed RTF format description.
const std::vector<std::byte> kExample1 =
    Hex("2d 00 00 00 2b 00 00 00 4c 5a 46 75 f1 c5 c7 a7 03 00 0a 00 72 63 70 67 31 32 35 42 32 0a "
        "f3 20"
        " 68 65 6c 09 00 20 62 77 05 b0 6c 64 7d 0a 80 0f a0");
const std::string kExample1Text = "{\\rtf1\\ansi\\ansicpg1252\\pard hello world}\r\n";
// A reference that reads bytes it is itself writing (a run).
const std::vector<std::byte> kExample2 = Hex(
    "1a 00 00 00 1c 00 00 00 4c 5a 46 75 e2 d4 4b 51 41 00 04 20 57 58 59 5a 0d 6e 7d 01 0e b0");
const std::string kExample2Text = "{\\rtf1 WXYZWXYZWXYZWXYZWXYZ}";

TEST(RtfDecompress, PublishedExampleWithDictionaryReferences) {
  auto r = DecompressRtf(kExample1);
  ASSERT_TRUE(r.ok()) << r.status().message();
  EXPECT_EQ(r->rtf, kExample1Text);
  EXPECT_FALSE(r->crc_mismatch);
  EXPECT_FALSE(r->size_mismatch);
}

TEST(RtfDecompress, PublishedExampleWithReferenceCrossingTheWritePosition) {
  auto r = DecompressRtf(kExample2);
  ASSERT_TRUE(r.ok()) << r.status().message();
  EXPECT_EQ(r->rtf, kExample2Text);
  EXPECT_FALSE(r->crc_mismatch);
}

TEST(RtfDecompress, HeaderFieldsAreDecoded) {
  RtfDecompressor d;
  std::string out;
  ASSERT_TRUE(d.Feed(std::span(kExample1).first(16), out).ok());
  ASSERT_TRUE(d.header_complete());
  EXPECT_EQ(d.header().comp_size, 0x2Du);
  EXPECT_EQ(d.header().raw_size, 0x2Bu);
  EXPECT_TRUE(d.header().compressed());
  EXPECT_EQ(d.header().crc, 0xA7C7C5F1u);
  EXPECT_TRUE(out.empty());
}

// Text of mostly literals, so that the dictionary wraps at many points, also between two chunks.
std::string LiteralHeavyText(std::size_t size) {
  std::string text;
  std::uint32_t state = 12345;
  for (std::size_t i = 0; i < size; ++i) {
    state = state * 1103515245u + 12345u;
    text.push_back(static_cast<char>(' ' + (state >> 16) % 94));
  }
  return text;
}

// Text of mostly references, near and far, some reading what they write, wrapping the dictionary.
std::string ReferenceHeavyText(std::size_t size) {
  const std::string words[] = {"{\\rtf1 ", "\\par ", "aaaaaaaaaaaaaaaaaaaa", "word ", "\\'e9", "}"};
  std::string text;
  for (std::uint32_t state = 777; text.size() < size;) {
    state = state * 1103515245u + 12345u;
    text += words[(state >> 16) % std::size(words)];
    if ((state >> 8) % 5 == 0) text += LiteralHeavyText(1 + (state >> 20) % 9);
  }
  return text;
}

// Fed in pieces of `chunk` bytes: the whole text, and a correct CRC.
void ExpectDecodedInChunks(const std::vector<std::byte>& value, const std::string& text,
                           std::size_t chunk) {
  RtfDecompressor d;
  std::string out;
  for (std::size_t at = 0; at < value.size(); at += chunk) {
    auto piece = std::span(value).subspan(at, std::min(chunk, value.size() - at));
    ASSERT_TRUE(d.Feed(piece, out).ok());
  }
  ASSERT_TRUE(d.Finish().ok()) << chunk;
  EXPECT_EQ(out.size(), text.size()) << "chunk " << chunk;
  EXPECT_TRUE(out == text) << "chunk " << chunk;
  EXPECT_FALSE(d.crc_mismatch());
}

TEST(RtfDecompress, AnyChunkingGivesTheSameOutput) {
  for (std::size_t chunk = 1; chunk <= kExample1.size(); ++chunk) {
    ExpectDecodedInChunks(kExample1, kExample1Text, chunk);
  }
  const std::string long_text = LiteralHeavyText(3 * 4096 + 100);
  const std::vector<std::byte> long_value = CompressRtf(long_text, true);
  for (std::size_t chunk : {1, 2, 3, 7, 4096}) ExpectDecodedInChunks(long_value, long_text, chunk);
  ExpectDecodedInChunks(long_value, long_text, long_value.size());
  // Byte by byte, in pieces that end inside groups, and whole; the dictionary wraps at every
  // position relative to the references, for the shifts move the text across its end.
  for (std::size_t shift = 0; shift < 18; ++shift) {
    const std::string text = LiteralHeavyText(shift) + ReferenceHeavyText(2 * 4096 + 33);
    const std::vector<std::byte> value = CompressRtf(text, true);
    for (std::size_t chunk : {1, 16, 18}) ExpectDecodedInChunks(value, text, chunk);
    ExpectDecodedInChunks(value, text, value.size());
  }
}

TEST(RtfDecompress, OutputArrivesBeforeTheInputEnds) {
  auto body = CompressRtf(std::string(5000, 'a') + "{\\rtf1 tail}", true);
  RtfDecompressor d;
  std::string out;
  ASSERT_TRUE(d.Feed(std::span(body).first(body.size() / 2), out).ok());
  EXPECT_GT(out.size(), 0u);
  ASSERT_TRUE(d.Feed(std::span(body).subspan(body.size() / 2), out).ok());
  ASSERT_TRUE(d.Finish().ok());
  EXPECT_EQ(out, std::string(5000, 'a') + "{\\rtf1 tail}");
}

TEST(RtfDecompress, StoredFormIsCopied) {
  std::string raw = "{\\rtf1 plain stored text}";
  auto value = CompressRtf(raw, false);
  EXPECT_EQ(static_cast<char>(value[8]), 'M');
  auto r = DecompressRtf(value);
  ASSERT_TRUE(r.ok()) << r.status().message();
  EXPECT_EQ(r->rtf, raw);
  EXPECT_FALSE(r->crc_mismatch);
}

TEST(RtfDecompress, CrcMismatchIsFlaggedAndTheDataUsed) {
  auto damaged = kExample1;
  damaged[12] ^= std::byte{0x01};  // the stored CRC
  auto r = DecompressRtf(damaged);
  ASSERT_TRUE(r.ok());
  EXPECT_TRUE(r->crc_mismatch);
  EXPECT_EQ(r->rtf, kExample1Text);
}

TEST(RtfDecompress, DamagedContentsChangeTheCrc) {
  auto damaged = kExample1;
  damaged[25] ^= std::byte{0x20};  // a literal inside the contents
  auto r = DecompressRtf(damaged);
  ASSERT_TRUE(r.ok());
  EXPECT_TRUE(r->crc_mismatch);
  EXPECT_NE(r->rtf, kExample1Text);
}

TEST(RtfDecompress, RawSizeThatLiesIsFlagged) {
  auto lying = kExample1;
  lying[4] = std::byte{0x20};
  auto r = DecompressRtf(lying);
  ASSERT_TRUE(r.ok());
  EXPECT_TRUE(r->size_mismatch);
  EXPECT_EQ(r->rtf, kExample1Text);
}

TEST(RtfDecompress, HugeRawSizeAllocatesNothingUpFront) {
  auto lying = kExample2;
  lying[4] = lying[5] = lying[6] = lying[7] = std::byte{0xFF};
  auto r = DecompressRtf(lying);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r->rtf, kExample2Text);
  EXPECT_TRUE(r->size_mismatch);
  EXPECT_LT(r->rtf.capacity(), 1u << 16);
}

TEST(RtfDecompress, CompSizeBeyondTheDataIsTruncation) {
  auto body = CompressRtf(std::string(3000, 'x') + "{\\rtf1 abcdefghijklmnopqrstuvwxyz}", true);
  body[3] = std::byte{0x7F};  // COMPSIZE far beyond the bytes present
  // The end marker is still there, so the stream is complete; cut it away to get a real overrun.
  body.resize(body.size() - 3);
  auto r = DecompressRtf(body);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.status().code(), ErrorCode::kCorrupt);
  EXPECT_NE(r.status().message().find("truncated"), std::string::npos) << r.status().message();
}

TEST(RtfDecompress, EveryTruncationFailsOrIsFlagged) {
  for (std::size_t cut = 0; cut < kExample1.size(); ++cut) {
    auto r = DecompressRtf(std::span(kExample1).first(cut));
    EXPECT_FALSE(r.ok()) << "cut at " << cut;
  }
}

TEST(RtfDecompress, StoredFormShorterThanRawSizeIsTruncation) {
  auto value = CompressRtf("{\\rtf1 stored}", false);
  value.resize(value.size() - 2);
  auto r = DecompressRtf(value);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.status().code(), ErrorCode::kCorrupt);
}

TEST(RtfDecompress, StoredFormWithOverstatedRawSizeIsWholeButFlagged) {
  const std::string raw = "{\\rtf1 stored whole}";
  auto value = CompressRtf(raw, false);
  value[4] = static_cast<std::byte>(raw.size() + 12);  // RAWSIZE set to COMPSIZE
  auto r = DecompressRtf(value);
  ASSERT_TRUE(r.ok()) << r.status().message();
  EXPECT_EQ(r->rtf, raw);
  EXPECT_TRUE(r->size_mismatch);
}

TEST(RtfDecompress, BytesBeyondCompSizeAreIgnored) {
  auto padded = kExample1;
  padded.insert(padded.end(), 100, std::byte{0x41});
  auto r = DecompressRtf(padded);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r->rtf, kExample1Text);
  EXPECT_FALSE(r->crc_mismatch);
}

TEST(RtfDecompress, UnknownTypeAndTinySizeAreRefused) {
  auto unknown = kExample1;
  unknown[8] = std::byte{'X'};
  EXPECT_EQ(DecompressRtf(unknown).status().code(), ErrorCode::kCorrupt);
  auto tiny = kExample1;
  tiny[0] = std::byte{4};
  EXPECT_EQ(DecompressRtf(tiny).status().code(), ErrorCode::kCorrupt);
  EXPECT_EQ(DecompressRtf({}).status().code(), ErrorCode::kCorrupt);
}

TEST(RtfDecompress, OutputIsBoundedByTheInput) {
  // All-reference contents: each two-byte token yields 17 bytes, never more.
  std::vector<std::byte> body = Hex("00 00 00 00 00 00 00 00 4c 5a 46 75 00 00 00 00");
  for (int run = 0; run < 100; ++run) {
    body.push_back(std::byte{0xFF});
    for (int t = 0; t < 8; ++t) {
      body.push_back(std::byte{0x00});
      body.push_back(std::byte{0x0F});
    }
  }
  const auto comp = static_cast<std::uint32_t>(body.size() - 4);
  for (int i = 0; i < 4; ++i) body[i] = static_cast<std::byte>(comp >> (8 * i));
  auto r = DecompressRtf(body);
  ASSERT_TRUE(r.ok()) << r.status().message();
  EXPECT_EQ(r->rtf.size(), 100u * 8 * 17);
}

}  // namespace
}  // namespace pst::rtf
