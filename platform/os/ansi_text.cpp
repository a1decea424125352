// Conversions between a Windows code page ("CP" and its number) and UTF-8 through iconv; what
// cannot be converted is replaced and the conversion goes on.
#include <iconv.h>

#include <cerrno>
#include <string>

#include "platform/os/ansi_code_page.h"

namespace os {
namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

class Conversion {
 public:
  Conversion(const std::string& to, const std::string& from)
      : cd_(iconv_open(to.c_str(), from.c_str())) {}
  ~Conversion() {
    if (ok()) iconv_close(cd_);
  }
  Conversion(const Conversion&) = delete;
  Conversion& operator=(const Conversion&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

// How many bytes to step over at a place the conversion refused.
using SkipRule = std::size_t (*)(const char* at, std::size_t left);

std::size_t OneByte(const char*, std::size_t) { return 1; }

// A malformed or unmappable UTF-8 sequence: its first byte and the continuation bytes after it.
std::size_t Utf8Sequence(const char* at, std::size_t left) {
  std::size_t n = 1;
  while (n < left && n < 4 && (static_cast<unsigned char>(at[n]) & 0xC0) == 0x80) ++n;
  return n;
}

std::string CodePageName(unsigned code_page) { return "CP" + std::to_string(code_page); }

std::string Convert(std::string_view text, const std::string& to, const std::string& from,
                    std::string_view replacement, SkipRule skip) {
  Conversion cd(to, from);
  if (!cd.ok()) return std::string(text);
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  char* in = const_cast<char*>(text.data());
  std::size_t in_left = text.size();
  char buffer[1024];
  while (in_left > 0) {
    char* end = buffer;
    std::size_t room = sizeof buffer;
    const std::size_t result = iconv(cd.get(), &in, &in_left, &end, &room);
    out.append(buffer, static_cast<std::size_t>(end - buffer));
    if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
    out += replacement;
    const std::size_t step = skip(in, in_left);
    in += step;
    in_left -= step;
  }
  char* end = buffer;
  std::size_t room = sizeof buffer;
  iconv(cd.get(), nullptr, nullptr, &end, &room);  // a stateful code page returns to its start
  out.append(buffer, static_cast<std::size_t>(end - buffer));
  return out;
}

}  // namespace

std::string CodePageToUtf8(std::string_view text, unsigned code_page) {
  if (code_page == kUtf8CodePage || text.empty()) return std::string(text);
  return Convert(text, "UTF-8", CodePageName(code_page), kReplacementCharacter, OneByte);
}

std::string Utf8ToCodePage(std::string_view utf8, unsigned code_page) {
  if (code_page == kUtf8CodePage || utf8.empty()) return std::string(utf8);
  return Convert(utf8, CodePageName(code_page), "UTF-8", "?", Utf8Sequence);
}

}  // namespace os
