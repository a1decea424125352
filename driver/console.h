// The program's console: whole lines on standard output, each ended by CR LF, bytes unchanged.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace driver {

class Console {
 public:
  explicit Console(std::FILE* out) : out_(out) {}

  // Writes the line and CR LF, and flushes, so that lines interleave correctly with standard error.
  void Line(std::string_view text);

 private:
  std::FILE* out_;
};

// Text from the file made fit for one line: CR, LF and NUL become blanks.
std::string OneLineText(std::string_view text);

// The eight lines shown when the program is started without arguments.
void WriteBanner(Console& console);

}  // namespace driver
