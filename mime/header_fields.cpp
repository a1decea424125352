// Field write with folding.
#include "mime/header_fields.h"

namespace mime {
namespace {

constexpr size_t kFoldColumn = 60;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Something other than blanks follows position pos before the line ends.
bool HasTextAfter(std::string_view v, size_t pos) {
  const size_t next = v.find_first_not_of(" \t", pos);
  return next != std::string_view::npos && v[next] != '\r' && v[next] != '\n';
}

}  // namespace

bool LineStartsField(std::string_view line, std::string_view name) {
  return line.size() > name.size() && line[name.size()] == ':' &&
         StartsWithIgnoreAsciiCase(line, name);
}

std::string FoldFieldValue(std::string_view v) {
  std::string out;
  size_t line_start = 0;
  size_t break_at =
      std::string_view::npos;  // the last blank outside quotes with text on both sides
  size_t column = 0;
  bool seen_text = false;  // the line so far holds more than blanks
  char quote = 0;
  for (size_t i = 0; i < v.size(); ++i) {
    if (v.substr(i, 2) == "\r\n") {  // a break already in the value ends the line
      ++i;
      out.append(v.substr(line_start, i + 1 - line_start));
      line_start = i + 1;
      column = 0;
      seen_text = false;
      break_at = std::string_view::npos;
      quote = 0;
      continue;
    }
    const char c = v[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (IsBlank(c) && seen_text && HasTextAfter(v, i)) {
      break_at = i;
    }
    if (!IsBlank(c)) seen_text = true;
    if (++column <= kFoldColumn || break_at == std::string_view::npos) continue;
    // The line break goes before the blank, which stays: unfolding gives the value back.
    out.append(v.substr(line_start, break_at - line_start)).append("\r\n");
    column = i + 1 - break_at;
    line_start = break_at;
    break_at = std::string_view::npos;
  }
  out.append(v.substr(line_start));
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
      bool continuation =
          line.front() == ' ' || line.front() == '\t' || line.find(':') == std::string::npos;
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
