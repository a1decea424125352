// Field write with folding.
#include "mime/header_fields.h"

namespace mime {
namespace {

constexpr int kFoldColumn = 60;
constexpr std::string_view kLineBreak = "\r\n        ";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// First position at or after pos that is neither a blank nor a CR LF pair.
size_t SkipBlanksAndBreaks(std::string_view v, size_t pos) {
  while (pos < v.size()) {
    if (IsBlank(v[pos])) ++pos;
    else if (v[pos] == '\r' && pos + 1 < v.size() && v[pos + 1] == '\n') pos += 2;
    else break;
  }
  return pos;
}

}  // namespace

bool LineStartsField(std::string_view line, std::string_view name) {
  return line.size() > name.size() && line[name.size()] == ':' && StartsWithIgnoreAsciiCase(line, name);
}

std::string FoldFieldValue(std::string_view v) {
  std::string out;
  size_t line_start = 0;
  size_t break_after = std::string_view::npos;  // just past the last blank outside quotes
  int column = 0;
  char quote = 0;
  for (size_t i = 0; i < v.size();) {
    if (v.substr(i, kLineBreak.size()) == kLineBreak) {
      i += kLineBreak.size();
      column = 8;
      break_after = std::string_view::npos;
      continue;
    }
    char c = v[i++];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (IsBlank(c)) {
      break_after = i;
    }
    if (++column <= kFoldColumn || break_after == std::string_view::npos) continue;
    out.append(v.substr(line_start, break_after - line_start));
    size_t next = SkipBlanksAndBreaks(v, break_after);
    line_start = i = next;
    break_after = std::string_view::npos;
    quote = 0;
    if (next >= v.size()) break;
    out.append(kLineBreak);
    column = 8;
  }
  if (line_start < v.size()) out.append(v.substr(line_start));
  return out;
}

void WriteField(LineList& lines, std::string_view name, std::string_view value) {
  LineList kept;
  kept.reserve(lines.size() + 1);
  size_t insert_at = std::string::npos;
  bool deleting = false, ended = false;
  for (std::string& line : lines) {
    if (!ended && line.empty()) ended = true;
    if (!ended && LineStartsField(line, name)) {
      insert_at = kept.size();
      deleting = true;
      continue;
    }
    if (!ended && deleting) {
      bool continuation = line.front() == ' ' || line.front() == '\t' || line.find(':') == std::string::npos;
      if (continuation) continue;
      deleting = false;
    }
    kept.push_back(std::move(line));
  }
  if (insert_at == std::string::npos) insert_at = kept.size();
  if (!value.empty()) {
    kept.insert(kept.begin() + static_cast<std::ptrdiff_t>(insert_at),
                std::string(name) + ": " + FoldFieldValue(value));
  }
  lines = std::move(kept);
}

}  // namespace mime

namespace mime {

bool ReadHeaderBlock(LineReader& reader, LineList& lines) {
  while (!reader.AtEnd()) {
    std::string_view line = reader.Next();
    if (line.empty()) return true;
    lines.emplace_back(line);
  }
  return false;
}

}  // namespace mime
