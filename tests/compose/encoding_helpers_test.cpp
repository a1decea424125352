// RFC 822 dates, base64 lines and the character helpers of the RTF scanners.
#include <gtest/gtest.h>

#include <random>

#include "compose/base64_lines.h"
#include "compose/char_codes.h"
#include "compose/rfc822_date.h"
#include "mime/base64_codec.h"
#include "tests/compose/fake_clock.h"

namespace compose {
namespace {

double Local(int year, int month, int day, int hour, int minute, int second) {
  return os::ToDateTime({year, month, day, hour, minute, second, 0, 0});
}

TEST(Rfc822DateTest, WritesTheZoneItIsGivenWhateverTheMachinesPresentOffset) {
  compose_test::FakeClock clock;
  clock.offset_minutes = -300;  // the machine is elsewhere now: it must not matter
  os::ScopedClock scoped(clock);
  EXPECT_EQ(FormatRfc822Date(Local(2011, 3, 1, 14, 5, 9), 60), "Tue, 01 Mar 2011 14:05:09 +0100");
  EXPECT_EQ(FormatRfc822Date(Local(2011, 7, 1, 14, 5, 9), 120), "Fri, 01 Jul 2011 14:05:09 +0200");
}

TEST(Rfc822DateTest, UtcIsMinusZeroAndWestHalfHoursAreKept) {
  EXPECT_EQ(FormatRfc822Date(Local(1999, 12, 31, 23, 0, 0), 0), "Fri, 31 Dec 1999 23:00:00 -0000");
  EXPECT_EQ(FormatRfc822Date(Local(2024, 7, 4, 0, 0, 1), -330), "Thu, 04 Jul 2024 00:00:01 -0530");
}

TEST(Rfc822DateTest, YearIsWrittenWithoutPadding) {
  EXPECT_EQ(FormatRfc822Date(Local(999, 1, 2, 3, 4, 5), 0).substr(0, 16), "Wed, 02 Jan 999 ");
}

TEST(Rfc822DateTest, ValueBeyondTheCalendarRaises) {
  EXPECT_THROW(FormatRfc822Date(3e6, 0), std::out_of_range);
  EXPECT_THROW(FormatRfc822Date(-7e5, 0), std::out_of_range);
}

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
