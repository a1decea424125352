// UTF-8 to UTF-16LE by hand; UTF-8 to Windows code pages through iconv.
#include "tools/pstwriter/text_codec.h"

#include <iconv.h>

#include <cerrno>
#include <string>

#include "tools/pstwriter/write_error.h"

namespace pstwriter {
namespace {

std::string Shorten(std::string_view text) {
  return std::string(text.substr(0, 40)) + (text.size() > 40 ? "..." : "");
}

// Decodes one code point at s[i], advancing i; -1 on malformed input.
long NextCodePoint(std::string_view s, std::size_t& i) {
  unsigned char c = static_cast<unsigned char>(s[i++]);
  if (c < 0x80) return c;
  int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
  if (extra < 0 || c > 0xF4) return -1;
  long cp = c & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    if (i >= s.size()) return -1;
    unsigned char n = static_cast<unsigned char>(s[i++]);
    if ((n & 0xC0) != 0x80) return -1;
    cp = (cp << 6) | (n & 0x3F);
  }
  static const long kMin[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
  return cp;
}

class Iconv {
 public:
  explicit Iconv(const std::string& to) : cd_(iconv_open(to.c_str(), "UTF-8")) {}
  ~Iconv() {
    if (ok()) iconv_close(cd_);
  }
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

}  // namespace

Bytes Utf8ToUtf16le(std::string_view utf8) {
  Bytes out;
  out.reserve(utf8.size() * 2);
  ByteWriter w(out);
  for (std::size_t i = 0; i < utf8.size();) {
    long cp = NextCodePoint(utf8, i);
    if (cp < 0) throw WriteError("text is not valid UTF-8: \"" + Shorten(utf8) + "\"");
    if (cp >= 0x10000) {
      cp -= 0x10000;
      w.U16(std::uint16_t(0xD800 + (cp >> 10)));
      w.U16(std::uint16_t(0xDC00 + (cp & 0x3FF)));
    } else {
      w.U16(std::uint16_t(cp));
    }
  }
  return out;
}

Bytes Utf8ToCodePage(std::string_view utf8, std::uint32_t code_page) {
  if (code_page == 65001) {
    Utf8ToUtf16le(utf8);  // validates
    return Bytes(AsBytes(utf8).begin(), AsBytes(utf8).end());
  }
  std::string name = code_page == 20127 ? "ASCII" : "CP" + std::to_string(code_page);
  Iconv cd(name);
  if (!cd.ok()) throw WriteError("code page " + std::to_string(code_page) + " is not supported");
  std::string in(utf8);
  Bytes out(in.size() * 4 + 16);
  char* in_ptr = in.data();
  std::size_t in_left = in.size();
  char* out_ptr = reinterpret_cast<char*>(out.data());
  std::size_t out_left = out.size();
  if (iconv(cd.get(), &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1)) {
    throw WriteError("text \"" + Shorten(utf8) + "\" cannot be written in code page " +
                     std::to_string(code_page) + " of an ANSI file");
  }
  out.resize(out.size() - out_left);
  return out;
}

}  // namespace pstwriter
