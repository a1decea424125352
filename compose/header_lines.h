// Fields in a header kept as a list of lines, with the composer's folding rule. The header ends at
// the first entry that is empty or holds only blanks and control characters. A field name matches
// an entry that begins with the name and a colon, ASCII letters compared without case.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace compose {

using HeaderLines = std::vector<std::string>;

// Every occurrence of the field, continuation lines joined with a blank, occurrences with ", ".
std::string GetHeaderValue(std::string_view name, const HeaderLines& lines);
// param empty: the value up to the first ";" or "," outside double quotes, trimmed. Otherwise the
// value of that parameter (name without ASCII case) without its quotes, a backslash inside quotes
// standing for the character after it; empty when absent.
std::string GetHeaderParam(std::string_view value, std::string_view param);
// Folds value (CR LF put before white space already in it where a line grows past 78 characters,
// so that unfolding gives the value back), then replaces the first field of that name in place, or
// inserts name ": " value after the last header entry beginning with prefix (and its continuation
// lines), or at the end of the header.
void PutHeaderField(std::string_view prefix, std::string_view name, HeaderLines& lines,
                    std::string_view value);
// Deletes the first field of that name and the continuation entries after it.
bool DeleteHeaderField(std::string_view name, HeaderLines& lines);
// The last position at or before position (1-based) holding "," or ";"; 1 when there is none.
std::size_t FindFoldPoint(std::string_view text, std::size_t position);
// Removes leading and trailing characters whose code is 32 or less.
std::string_view TrimControls(std::string_view text);

}  // namespace compose
