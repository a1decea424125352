// Base64 lines and the character helpers of the RTF scanners.
#include <gtest/gtest.h>

#include <random>

#include "compose/base64_lines.h"
#include "compose/char_codes.h"
#include "mime/base64_codec.h"

namespace compose {
namespace {

std::string Encoded(std::string_view data, std::uint64_t count = kWholeSource) {
  StringByteSource source(data);
  std::string out;
  StringTextSink sink(out);
  EncodeBase64Lines(source, sink, count);
  return out;
}

TEST(Base64LinesTest, FiftyFourBytesMakeOneFullLine) {
  const std::string out = Encoded(std::string(54, '\xff'));
  EXPECT_EQ(out, std::string(72, '/') + "\r\n");
}

TEST(Base64LinesTest, FiftyFiveBytesAddAPaddedLine) {
  const std::string out = Encoded(std::string(55, '\0'));
  EXPECT_EQ(out, std::string(72, 'A') + "\r\nAA==\r\n");
}

TEST(Base64LinesTest, EmptySourceWritesOneLineEnd) { EXPECT_EQ(Encoded(""), "\r\n"); }

TEST(Base64LinesTest, PadsOneAndTwoByteGroups) {
  EXPECT_EQ(Encoded("Man"), "TWFu\r\n");
  EXPECT_EQ(Encoded("Ma"), "TWE=\r\n");
  EXPECT_EQ(Encoded("M"), "TQ==\r\n");
}

TEST(Base64LinesTest, StopsAfterCountBytes) { EXPECT_EQ(Encoded("Manx", 3), "TWFu\r\n"); }

// Hands out one byte per read, as a slow stream might.
class TrickleSource final : public ByteSource {
 public:
  explicit TrickleSource(std::string_view data) : data_(data) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    if (size == 0 || position_ == data_.size()) return 0;
    *buffer = data_[position_++];
    return 1;
  }

 private:
  std::string_view data_;
  std::size_t position_ = 0;
};

TEST(Base64LinesTest, LargeDataOverManyBlocksRoundTrips) {
  std::mt19937 random(7);
  std::string data(54 * 1024 * 3 + 17, '\0');
  for (char& c : data) c = static_cast<char>(random());
  const std::string out = Encoded(data);

  std::string trickled;
  TrickleSource trickle(data);
  StringTextSink sink(trickled);
  EncodeBase64Lines(trickle, sink);
  EXPECT_EQ(trickled, out);

  mime::LineList lines;
  std::size_t start = 0;
  for (std::size_t end; (end = out.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(out.substr(start, end - start));
  }
  EXPECT_EQ(start, out.size());
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) ASSERT_EQ(lines[i].size(), 72u) << i;
  std::string decoded;
  mime::DecodeBase64Lines(lines, decoded);
  EXPECT_EQ(decoded, data);
}

TEST(HexDigitsTest, ReadsEitherCaseAndSkipsOtherCharacters) {
  EXPECT_EQ(ParseHexDigits("e9"), 233u);
  EXPECT_EQ(ParseHexDigits("E9"), 233u);
  EXPECT_EQ(ParseHexDigits("2g4"), 0x24u);
  EXPECT_EQ(ParseHexDigits(""), 0u);
}

TEST(ConvertCharsetTest, ConvertsByName) {
  EXPECT_EQ(ConvertCharset("caf\xE9", "iso-8859-1", "utf8"), "caf\xC3\xA9");
  EXPECT_EQ(ConvertCharset("", "iso-8859-1", "utf8"), "");
}

TEST(BlankLineBreaksTest, CrLfAndNulBecomeBlanks) {
  EXPECT_EQ(BlankLineBreaks(std::string_view("a\r\nb\0c", 6)), "a  b c");
}

}  // namespace
}  // namespace compose
