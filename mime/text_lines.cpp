// Line splitting and small byte-string helpers shared by the message model.
#include "mime/text_lines.h"

#include <cstring>

namespace mime {

std::string_view TextBeforeNul(std::string_view text) {
  if (text.empty()) return text;
  const void* nul = std::memchr(text.data(), 0, text.size());
  if (!nul) return text;
  return text.substr(0, static_cast<size_t>(static_cast<const char*>(nul) - text.data()));
}

LineReader::LineReader(std::string_view text) {
  next_ = text.data();
  end_ = next_ + text.size();
  const void* lf = text.empty() ? nullptr : std::memchr(next_, '\n', text.size());
  next_lf_ = lf ? static_cast<const char*>(lf) : end_;
  StopAtNul();
}

// A NUL byte where the next line would start ends the text.
void LineReader::StopAtNul() {
  if (next_ < end_ && *next_ == '\0') end_ = next_;
}

// The NUL byte that ends the text is found line by line, so reading a header never scans the body.
std::string_view LineReader::Next() {
  const char* start = next_;
  if (next_lf_ < start) {
    const void* lf = std::memchr(start, '\n', static_cast<size_t>(end_ - start));
    next_lf_ = lf ? static_cast<const char*>(lf) : end_;
  }
  const void* cr = std::memchr(start, '\r', static_cast<size_t>(next_lf_ - start));
  const char* line_end = cr ? static_cast<const char*>(cr) : next_lf_;
  if (const void* nul = std::memchr(start, '\0', static_cast<size_t>(line_end - start))) {
    next_ = end_ = static_cast<const char*>(nul);
    return std::string_view(start, static_cast<size_t>(next_ - start));
  }
  if (line_end == end_)
    next_ = end_;
  else if (*line_end == '\r' && line_end + 1 < end_ && line_end[1] == '\n')
    next_ = line_end + 2;
  else
    next_ = line_end + 1;
  StopAtNul();
  return std::string_view(start, static_cast<size_t>(line_end - start));
}

std::vector<std::string_view> SplitLineViews(std::string_view text) {
  std::vector<std::string_view> views;
  ForEachLine(text, [&](std::string_view line) {
    views.push_back(line);
    return true;
  });
  return views;
}

void SplitLines(std::string_view text, LineList& lines) {
  lines.clear();
  ForEachLine(text, [&](std::string_view line) {
    lines.emplace_back(line);
    return true;
  });
}

void AppendJoinedLines(const LineList& lines, std::string& out) {
  out.reserve(out.size() + static_cast<size_t>(LinesSize(lines)));
  for (const std::string& line : lines) {
    out += line;
    out += "\r\n";
  }
}

std::string JoinLines(const LineList& lines) {
  std::string out;
  AppendJoinedLines(lines, out);
  return out;
}

long long LinesSize(const LineList& lines) {
  long long size = 0;
  for (const std::string& line : lines) size += static_cast<long long>(line.size()) + 2;
  return size;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

static char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
static char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool StartsWithIgnoreAsciiCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (UpperAscii(s[i]) != UpperAscii(prefix[i])) return false;
  return true;
}

std::string ToUpperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = UpperAscii(c);
  return out;
}

std::string ToLowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

bool ParseDecimal(std::string_view s, long long& value) {
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty() || s.size() > 18) return false;
  long long v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  value = negative ? -v : v;
  return true;
}

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  std::string out;
  size_t pos = 0;
  for (size_t hit; (hit = s.find(from, pos)) != std::string_view::npos; pos = hit + from.size()) {
    out.append(s.substr(pos, hit - pos));
    out.append(to);
  }
  out.append(s.substr(pos));
  return out;
}

}  // namespace mime
