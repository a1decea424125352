// The system's ANSI code page: the code page of the 8-bit texts that the mail library hands out
// and that the index and folder-list files hold. The composed messages are UTF-8 whatever it is,
// so texts cross between the two here.
#pragma once

#include <string>
#include <string_view>

namespace os {

inline constexpr unsigned kUtf8CodePage = 65001;

// Windows: GetACP(). Linux: UTF-8, unless PST2XMZ_ANSI_CODE_PAGE holds a code page number (set
// only by tests that compare a run with one on Windows at that code page).
unsigned AnsiCodePage();

// Text in Windows code page `code_page` as UTF-8; a byte (or sequence) the code page does not
// define becomes U+FFFD. Unchanged when `code_page` is UTF-8 or not known to the system.
std::string CodePageToUtf8(std::string_view text, unsigned code_page);
// UTF-8 in code page `code_page`; a character the code page lacks, and malformed UTF-8, become
// "?". Unchanged when `code_page` is UTF-8 or not known to the system.
std::string Utf8ToCodePage(std::string_view utf8, unsigned code_page);

// The same, with the system's ANSI code page.
inline std::string AnsiToUtf8(std::string_view ansi) {
  return CodePageToUtf8(ansi, AnsiCodePage());
}
inline std::string Utf8ToAnsi(std::string_view utf8) {
  return Utf8ToCodePage(utf8, AnsiCodePage());
}

// In place, and without a copy when the ANSI code page is UTF-8 (always so on Linux outside tests).
inline void AnsiToUtf8InPlace(std::string& text) {
  if (AnsiCodePage() != kUtf8CodePage) text = AnsiToUtf8(text);
}
inline void Utf8ToAnsiInPlace(std::string& text) {
  if (AnsiCodePage() != kUtf8CodePage) text = Utf8ToAnsi(text);
}

}  // namespace os
