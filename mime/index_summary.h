// The archive index's view of a message: sender, recipients and subject, read from the top-level
// header alone so that a large body costs nothing.
#pragma once

#include <string>
#include <string_view>

namespace mime {

// The three values the archive index shows for a message, read from the top-level header only.
struct TMimeIndexSummary {
  std::string From;
  std::string To;
  std::string Subject;
};

// Identical to Header.FromAddress.DisplayText, Header.ToList.DisplayList and Header.Subject of a
// full parse of text, but reads only the top-level header.
TMimeIndexSummary ReadIndexSummary(std::string_view text);

}  // namespace mime
