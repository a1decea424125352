// Header-line lists: reading fields and parameters, folding and replacing or inserting fields.
#include "compose/header_lines.h"

#include <algorithm>
#include <vector>

#include "platform/os/text_compare.h"

namespace compose {
namespace {

constexpr std::string_view kFold = "\r\n        ";
constexpr std::size_t kFoldWidth = 70;     // a line may grow to this many characters unfolded
constexpr std::size_t kFoldReach = 30;     // a fold point must lie within this many characters

bool IsBlankEntry(std::string_view entry) { return TrimControls(entry).empty(); }

bool StartsWithIgnoreAsciiCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         os::EqualsIgnoreAsciiCase(text.substr(0, prefix.size()), prefix);
}

// The entry begins with the field name followed directly by a colon.
bool HoldsField(std::string_view entry, std::string_view name) {
  return entry.size() > name.size() && entry[name.size()] == ':' &&
         StartsWithIgnoreAsciiCase(entry, name);
}

bool IsContinuation(std::string_view entry) {
  if (entry.find(':') == std::string_view::npos) return true;
  return entry[0] == ' ' || entry[0] == '\t';
}

// The value of a field entry: the text after the name and colon, one blank after the colon skipped.
std::string ValueOf(std::string_view entry, std::size_t name_length) {
  std::string_view v = TrimControls(entry);
  v.remove_prefix(std::min(v.size(), name_length + 1));
  if (!v.empty() && v[0] == ' ') v.remove_prefix(1);
  return std::string(v);
}

// For each character of text: it stands inside a double-quoted string (a backslash escapes the
// next character there), where a fold would change the quoted text.
std::vector<bool> QuotedPositions(std::string_view text) {
  std::vector<bool> quoted(text.size(), false);
  bool in_quotes = false;
  for (std::size_t k = 0; k < text.size(); ++k) {
    if (text[k] == '"') {
      in_quotes = !in_quotes;
    } else if (in_quotes) {
      quoted[k] = true;
      if (text[k] == '\\' && k + 1 < text.size()) quoted[++k] = true;
    }
  }
  return quoted;
}

// FindFoldPoint that passes over separators inside quoted strings.
std::size_t FoldPointOutsideQuotes(std::string_view s, const std::vector<bool>& quoted,
                                   std::size_t i) {
  std::size_t j = std::min(i, s.size());
  while (j > 1 && ((s[j - 1] != ',' && s[j - 1] != ';') || quoted[j - 1])) --j;
  return j == 0 ? 1 : j;
}

// Positions count from 1 in the growing text while the loop still ends at the original length, so
// the last ten characters per inserted fold are never examined.
std::string Folded(std::string_view value) {
  std::string s(value);
  std::vector<bool> quoted = QuotedPositions(value);
  const std::size_t n = value.size();
  std::size_t last = 0;
  for (std::size_t i = 1; i <= n; ++i) {
    if (i <= last + kFoldWidth) continue;
    std::size_t p = FoldPointOutsideQuotes(s, quoted, i);
    if (p + kFoldReach > i) {
      s.insert(p, kFold);
      quoted.insert(quoted.begin() + static_cast<std::ptrdiff_t>(p), kFold.size(), false);
      last = p + kFold.size();
    } else {
      last = i - kFoldWidth;
    }
  }
  return s;
}

}  // namespace

std::string_view TrimControls(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
  return text;
}

std::string GetHeaderValue(std::string_view name, const HeaderLines& lines) {
  std::string result;
  for (std::size_t i = 0; i < lines.size() && !IsBlankEntry(lines[i]); ++i) {
    if (!HoldsField(lines[i], name)) continue;
    std::string v = ValueOf(lines[i], name.size());
    while (i + 1 < lines.size() && !IsBlankEntry(lines[i + 1]) && IsContinuation(lines[i + 1])) {
      ++i;
      v += ' ';
      v += lines[i];
    }
    result += ", ";
    result += v;
  }
  return result.size() >= 2 ? result.substr(2) : result;
}

std::string GetHeaderParam(std::string_view value, std::string_view param) {
  const std::string_view wanted = TrimControls(param);
  std::string name, val;
  bool in_quotes = false;
  bool reading_name = true;
  auto item_ends = [&](char c) { return c == ';' || c == ','; };
  for (std::size_t k = 0; k <= value.size(); ++k) {
    const char c = k < value.size() ? value[k] : ';';
    if (c == '"') {
      in_quotes = !in_quotes;
    } else if (in_quotes) {
      val += c;
    } else if (item_ends(c)) {
      if (param.empty()) return reading_name ? std::string(TrimControls(name)) : std::string();
      if (os::EqualsIgnoreAsciiCase(wanted, TrimControls(name))) {
        return std::string(TrimControls(val));
      }
      name.clear();
      val.clear();
      reading_name = true;
    } else if (c == '=' && reading_name) {
      reading_name = false;
    } else {
      (reading_name ? name : val) += c;
    }
  }
  return std::string();
}

std::size_t FindFoldPoint(std::string_view text, std::size_t position) {
  std::size_t j = std::min(position, text.size());
  while (j > 1 && text[j - 1] != ',' && text[j - 1] != ';') --j;
  return j == 0 ? 1 : j;
}

bool DeleteHeaderField(std::string_view name, HeaderLines& lines) {
  for (std::size_t i = 0; i < lines.size() && !IsBlankEntry(lines[i]); ++i) {
    if (!HoldsField(lines[i], name)) continue;
    auto end = lines.begin() + static_cast<std::ptrdiff_t>(i) + 1;
    while (end != lines.end() && end->size() >= 3 && static_cast<unsigned char>((*end)[0]) <= 32) {
      ++end;
    }
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i), end);
    return true;
  }
  return false;
}

void PutHeaderField(std::string_view prefix, std::string_view name, HeaderLines& lines,
                    std::string_view value) {
  std::string field = std::string(name) + ": " + Folded(value);
  bool found = false;
  std::size_t i = 0;
  std::ptrdiff_t after = -1;
  while (!found && i < lines.size()) {
    const std::string& e = lines[i];
    if (!prefix.empty() && StartsWithIgnoreAsciiCase(e, prefix)) after = static_cast<std::ptrdiff_t>(i) + 1;
    if (IsBlankEntry(e)) break;
    if (HoldsField(e, name)) {
      found = true;
    } else {
      ++i;
    }
  }
  if (found) {
    after = static_cast<std::ptrdiff_t>(i);
    DeleteHeaderField(name, lines);
  }
  std::size_t at = i;
  if (after >= 0) {
    at = static_cast<std::size_t>(after);
    while (at < lines.size() && (lines[at].empty() || static_cast<unsigned char>(lines[at][0]) <= 32)) {
      ++at;
    }
  }
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(field));
}

}  // namespace compose
