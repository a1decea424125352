// The seven lines of an index record: key, summary, folder key, block position, time.
#include "driver/index_record.h"

#include <gtest/gtest.h>

namespace driver {
namespace {

TEST(MessageKey, IsEightUpperCaseHexDigits) {
  EXPECT_EQ(MessageKey(1), "F00000001");
  EXPECT_EQ(MessageKey(26), "F0000001A");
  EXPECT_EQ(MessageKey(255), "F000000FF");
  EXPECT_EQ(MessageKey(0x7FFFFFFF), "F7FFFFFFF");
}

TEST(IndexSummaryLine, JoinsTheThreePartsWithBars) {
  EXPECT_EQ(IndexSummaryLine("Ann", "Bob, carl@x.org", "Hello"), "Ann|Bob, carl@x.org|Hello|||");
  EXPECT_EQ(IndexSummaryLine("", "", "Only subject"), "||Only subject|||");
  EXPECT_EQ(IndexSummaryLine("", "", ""), "|||||");
}

TEST(IndexSummaryLine, KeepsBarsInsideParts) {
  EXPECT_EQ(IndexSummaryLine("A|B", "", "x | y"), "A|B||x | y|||");
}

TEST(IndexSummaryLine, TurnsLineBreaksAndNulIntoBlanks) {
  using namespace std::string_literals;
  EXPECT_EQ(IndexSummaryLine("Ann\r\nBcc: evil@x", "a\nb", "x\0y\r"s),
            "Ann  Bcc: evil@x|a b|x y |||");
}

TEST(FormatIndexRecord, WritesSevenLinesEndedByCrLf) {
  IndexRecord record{26, "Ann|Bob|Hi|||", 5, 123, 4096, 40533.5};
  EXPECT_EQ(FormatIndexRecord(record),
            "26\r\nF0000001A\r\nAnn|Bob|Hi|||\r\n268435461\r\n123\r\n4096\r\n "
            "4.05335000000000E+0004\r\n");
}

TEST(FormatIndexRecord, WritesOffsetsAndLengthsBeyondFourGigabytes) {
  IndexRecord record{1, "|||||", 0, 5'000'000'000ULL, 0x1'0000'0001ULL, 0};
  std::string text = FormatIndexRecord(record);
  EXPECT_NE(text.find("\r\n268435456\r\n5000000000\r\n4294967297\r\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace driver
