// What a character-set library knows of one code page: its registration texts and the name the
// C library's iconv gives it.
#pragma once

namespace charset {

struct TPlCodePageInfo {
  const char* aliases;      // comma-separated, the first being the name
  const char* category;
  const char* description;
  const char* iconv_name;
};

}  // namespace charset
