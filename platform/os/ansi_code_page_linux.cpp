// The ANSI code page on Linux: UTF-8, or the number a test put in PST2XMZ_ANSI_CODE_PAGE.
#include <cstdlib>
#include <string_view>

#include "platform/os/ansi_code_page.h"

namespace os {
namespace {

unsigned FromEnvironment() {
  const char* value = std::getenv("PST2XMZ_ANSI_CODE_PAGE");
  if (!value || !*value) return kUtf8CodePage;
  unsigned number = 0;
  for (const char c : std::string_view(value)) {
    if (c < '0' || c > '9' || number > 99999) return kUtf8CodePage;
    number = number * 10 + static_cast<unsigned>(c - '0');
  }
  return number ? number : kUtf8CodePage;
}

}  // namespace

unsigned AnsiCodePage() {
  static const unsigned code_page = FromEnvironment();
  return code_page;
}

}  // namespace os
