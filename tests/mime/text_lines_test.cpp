// Line splitting: every kind of line end, and the NUL byte that ends the text.
#include <gtest/gtest.h>

#include "mime/text_lines.h"

namespace mime {
namespace {

TEST(TextLines, SplitsAtEveryKindOfLineEnd) {
  const struct {
    std::string text;
    LineList lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\rb\nc", {"a", "b", "c"}},
      {"a\n\rb", {"a", "", "b"}},  // LF CR is two line ends
      {"a\r\r\nb", {"a", "", "b"}},
      {"\r\n\r\n", {"", ""}},
      {"a\r", {"a"}},
      {std::string("a\r\n\0b", 5), {"a"}},
      {std::string("\0abc", 4), {}},
      {std::string("ab\0c\r\nd", 7), {"ab"}},
      {std::string("a\r\0\nb", 5), {"a"}},
  };
  for (const auto& c : cases) {
    LineList lines;
    SplitLines(c.text, lines);
    EXPECT_EQ(lines, c.lines) << testing::PrintToString(c.text);
  }
}

TEST(TextLines, LongRunsOfLoneCarriageReturnsSplitInLinearTime) {
  std::string text(200000, '\r');
  LineList lines;
  SplitLines(text, lines);
  EXPECT_EQ(lines.size(), 200000u);
}

TEST(TextLines, JoinEndsEveryLineWithCrLf) {
  EXPECT_EQ(JoinLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
  EXPECT_EQ(LinesSize({"a", "", "b"}), 8);
}

}  // namespace
}  // namespace mime
