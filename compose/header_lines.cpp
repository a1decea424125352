// Header-line lists: reading fields and parameters, folding and replacing or inserting fields.
#include "compose/header_lines.h"

#include <algorithm>
#include <vector>

#include "platform/os/text_compare.h"

namespace compose {
namespace {

constexpr std::size_t kFoldWidth = 78;  // a longer line is broken at white space where it can be

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

bool IsWhiteSpace(char c) { return c == ' ' || c == '\t'; }

// Where to break line (which must not be broken before position 1): before the last blank or tab at
// or under the width that has text on both sides, else before the first one past it; npos when the
// line has no such place.
std::size_t BreakPoint(std::string_view line, std::size_t width) {
  const std::size_t first_text = line.find_first_not_of(" \t");
  const std::size_t last_text = line.find_last_not_of(" \t");
  if (first_text == std::string_view::npos) return std::string_view::npos;
  std::size_t best = std::string_view::npos;
  for (std::size_t k = first_text + 1; k < last_text; ++k) {
    if (!IsWhiteSpace(line[k])) continue;
    if (k <= width || best == std::string_view::npos) best = k;
    if (k > width) break;
  }
  return best;
}

// Breaks one physical line before white space it already holds until each piece fits the width
// (or cannot be broken further); lead is what stands before the line on its first piece.
void FoldLine(std::string_view line, std::size_t lead, std::string& out) {
  while (lead + line.size() > kFoldWidth) {
    const std::size_t at = BreakPoint(line, kFoldWidth > lead ? kFoldWidth - lead : 0);
    if (at == std::string_view::npos) break;
    out.append(line.substr(0, at)).append("\r\n");
    line.remove_prefix(at);
    lead = 0;
  }
  out.append(line);
}

// A fold only puts CR LF before white space that is already there, so unfolding (taking the CR LF
// pairs out) gives the value back unchanged; CR LF pairs already in the value are kept.
std::string Folded(std::string_view name, std::string_view value) {
  std::string out;
  std::size_t lead = name.size() + 2;  // "name: "
  for (;;) {
    const std::size_t end = value.find("\r\n");
    FoldLine(value.substr(0, end), lead, out);
    if (end == std::string_view::npos) return out;
    out.append("\r\n");
    value.remove_prefix(end + 2);
    lead = 0;
  }
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
    if (in_quotes && c == '\\' && k + 1 < value.size()) {
      val += value[++k];  // a quoted pair stands for the character after the backslash
    } else if (c == '"') {
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
  const std::string folded = Folded(name, value);
  std::string field;
  field.reserve(name.size() + 2 + folded.size());
  field.append(name).append(": ").append(folded);
  bool found = false;
  std::size_t i = 0;
  std::ptrdiff_t after = -1;
  while (!found && i < lines.size()) {
    const std::string& e = lines[i];
    if (!prefix.empty() && StartsWithIgnoreAsciiCase(e, prefix))
      after = static_cast<std::ptrdiff_t>(i) + 1;
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
    while (at < lines.size() &&
           (lines[at].empty() || static_cast<unsigned char>(lines[at][0]) <= 32)) {
      ++at;
    }
  }
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(field));
}

}  // namespace compose
