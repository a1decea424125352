// Console lines and the banner.
#include "driver/console.h"

#include <string>

namespace driver {

void Console::Line(std::string_view text) {
  std::string line;
  line.reserve(text.size() + 2);
  line.append(text);
  line.append("\r\n");
  std::fwrite(line.data(), 1, line.size(), out_);
  std::fflush(out_);
}

std::string OneLineText(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  return line;
}

void WriteBanner(Console& console) {
  console.Line("PST2XMZ.EXE");
  console.Line("Outlook .PST file to Tolvane .XMZ e-mail export utility");
  console.Line("Version 1.02");
  console.Line("Exports the mail of a personal-folders file into a message archive.");
  console.Line("");
  console.Line("usage :-");
  console.Line("  pst2xmz -s pstfilename -d destfilename [-f folderfilename]");
  console.Line("");
}

}  // namespace driver
