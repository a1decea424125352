// Case-insensitive comparison with CompareStringW under the user's default locale; the program's
// texts are in the ANSI code page and are widened first.
#include <windows.h>

#include <string>

#include "platform/os/text_compare.h"

namespace os {
namespace {

std::wstring Widen(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
  return wide;
}

}  // namespace

int CompareTextIgnoreCase(std::string_view a, std::string_view b) {
  const std::wstring wide_a = Widen(a), wide_b = Widen(b);
  const int result = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wide_a.data(),
                                    static_cast<int>(wide_a.size()), wide_b.data(),
                                    static_cast<int>(wide_b.size()));
  return result == 0 ? a.compare(b) : result - CSTR_EQUAL;
}

bool EqualsTextIgnoreCase(std::string_view a, std::string_view b) {
  return CompareTextIgnoreCase(a, b) == 0;
}

}  // namespace os
