// Reading and writing one field in a list of header lines. Names match without regard to ASCII
// case on the whole "Name:" prefix; continuation lines are joined as they stand.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "mime/text_lines.h"

namespace mime {

// The value of every line of the field, joined: several fields of that name are joined with one
// space; a continuation line (leading blank, or no colon) is appended unchanged. Empty when absent.
// Works on any range of lines convertible to std::string_view. keep_trailing keeps white space at
// the end of the first line, which belongs to an unstructured value such as a subject.
template <typename Lines>
std::string ReadField(const Lines& lines, std::string_view name, bool keep_trailing = false);

// The value folded after column 60 before a blank outside quotes: only CR LF is inserted, so that
// unfolding gives the value back; breaks already in the value are kept.
std::string FoldFieldValue(std::string_view value);

// Removes the field (and its continuation lines) and, when value is not empty, inserts
// "name: folded value" where its last line stood (at the end when it was absent).
void WriteField(LineList& lines, std::string_view name, std::string_view value);

bool LineStartsField(std::string_view line, std::string_view name);

template <typename Lines>
std::string ReadField(const Lines& lines, std::string_view name, bool keep_trailing) {
  std::string result;
  bool open = false;
  for (const auto& entry : lines) {
    std::string_view line(entry);
    if (line.empty()) break;
    if (LineStartsField(line, name)) {
      if (!result.empty()) result.push_back(' ');
      std::string_view value = line.substr(name.size() + 1);
      if (keep_trailing) {
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
          value.remove_prefix(1);
      } else {
        value = Trim(value);
      }
      result.append(value);
      open = true;
    } else if (open) {
      bool continuation =
          line.front() == ' ' || line.front() == '\t' || line.find(':') == std::string_view::npos;
      if (continuation)
        result.append(line);
      else
        open = false;
    }
  }
  return result;
}

// Reads lines up to and including the first empty one into lines (copies into a LineList, views
// into a list of std::string_view). True when the empty line was found; otherwise the lines ran
// out and lines holds what was read.
template <typename Lines>
bool ReadHeaderBlock(LineReader& reader, Lines& lines) {
  while (!reader.AtEnd()) {
    std::string_view line = reader.Next();
    if (line.empty()) return true;
    lines.emplace_back(line);
  }
  return false;
}

}  // namespace mime
