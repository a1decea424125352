// What a character-set library knows of one code page: its registration texts and the name the
// C library's iconv gives it.
#pragma once

#include <bit>

namespace charset {

// iconv's name for code points as this machine stores them: 32 bits, native byte order, no mark.
inline const char* IconvNativeUtf32() {
  return std::endian::native == std::endian::big ? "UTF-32BE" : "UTF-32LE";
}

struct TPlCodePageInfo {
  const char* aliases;  // comma-separated, the first being the name
  const char* category;
  const char* description;
  const char* iconv_name;
};

}  // namespace charset
