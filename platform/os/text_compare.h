// Text comparison ignoring case. The locale-aware form compares UTF-8 text under Unicode simple
// case folding (the program's code page is UTF-8 on Linux); the ASCII form folds only A-Z.
#pragma once

#include <string_view>

namespace os {

// <0, 0, >0 like strcmp, after simple case folding of every code point. Invalid UTF-8 bytes compare
// as themselves.
int CompareTextIgnoreCase(std::string_view a, std::string_view b);
bool EqualsTextIgnoreCase(std::string_view a, std::string_view b);

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b);

}  // namespace os
