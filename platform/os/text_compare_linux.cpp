// Case-insensitive comparison: UTF-8 decoded here, folded with the C library's Unicode tables.
#include <locale.h>
#include <wctype.h>
#include <clocale>
#include <cwctype>

#include "platform/os/text_compare.h"

namespace os {
namespace {

// The C library's case tables for Unicode, independent of the process's own locale.
locale_t UnicodeLocale() {
  static locale_t loc = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (!l) l = newlocale(LC_CTYPE_MASK, "en_US.UTF-8", static_cast<locale_t>(0));
    return l;
  }();
  return loc;
}

// Decodes one code point at pos and advances; an invalid byte is returned as 0x110000 + byte so
// that it compares as itself and never equals a real character.
char32_t NextCodePoint(std::string_view s, size_t& pos) {
  unsigned char b = static_cast<unsigned char>(s[pos]);
  int length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
  if (length == 0 || pos + length > s.size()) {
    ++pos;
    return 0x110000 + b;
  }
  char32_t cp = length == 1 ? b : b & (0x7F >> length);
  for (int i = 1; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(s[pos + i]);
    if ((c & 0xC0) != 0x80) {
      ++pos;
      return 0x110000 + b;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  pos += length;
  return cp;
}

char32_t Fold(char32_t cp) {
  if (cp >= 0x110000) return cp;
  if (cp < 0x80) return (cp >= 'A' && cp <= 'Z') ? cp + 32 : cp;
  locale_t loc = UnicodeLocale();
  if (!loc) return cp;
  return static_cast<char32_t>(towlower_l(static_cast<wint_t>(cp), loc));
}

}  // namespace

int CompareTextIgnoreCase(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    char32_t x = Fold(NextCodePoint(a, i));
    char32_t y = Fold(NextCodePoint(b, j));
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

bool EqualsTextIgnoreCase(std::string_view a, std::string_view b) {
  return CompareTextIgnoreCase(a, b) == 0;
}

}  // namespace os
