// Line splitting and joining for message text: CR LF, a lone CR or a lone LF ends a line, a NUL
// byte ends the text, and joined lines each end with CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mime {

using LineList = std::vector<std::string>;

// The text up to (not including) its first NUL byte.
std::string_view TextBeforeNul(std::string_view text);

// Reads the lines of a text one by one without copying them. Linear in the text whatever its mix
// of line ends.
class LineReader {
 public:
  explicit LineReader(std::string_view text);
  bool AtEnd() const { return next_ >= end_; }
  // The next line, without its terminator. Only valid when !AtEnd().
  std::string_view Next();

 private:
  void StopAtNul();

  const char* next_;
  const char* end_;
  const char* next_lf_;  // the next LF at or after next_, or end_
};

// Calls visit(std::string_view line) for each line of text; visit returns false to stop early.
// A final line without terminator counts; a terminator at the very end adds no empty line.
template <typename Visit>
void ForEachLine(std::string_view text, Visit&& visit) {
  LineReader reader(text);
  while (!reader.AtEnd())
    if (!visit(reader.Next())) return;
}

// Views of the lines of text (they point into text).
std::vector<std::string_view> SplitLineViews(std::string_view text);
// Replaces lines with the lines of text.
void SplitLines(std::string_view text, LineList& lines);
// Each line followed by CR LF.
std::string JoinLines(const LineList& lines);
void AppendJoinedLines(const LineList& lines, std::string& out);
// Sum over the lines of length + 2.
long long LinesSize(const LineList& lines);

// Leading and trailing blanks and control characters (bytes up to 32) removed.
std::string_view Trim(std::string_view s);
bool StartsWithIgnoreAsciiCase(std::string_view s, std::string_view prefix);
std::string ToUpperAscii(std::string_view s);
std::string ToLowerAscii(std::string_view s);
// A decimal integer with optional sign and nothing else; false when s is not one (or overflows).
bool ParseDecimal(std::string_view s, long long& value);
// Every occurrence of from in s replaced by to.
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);

}  // namespace mime
