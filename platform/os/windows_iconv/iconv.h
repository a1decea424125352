// The C library's character-set conversion interface (iconv_open, iconv, iconv_close) for Windows,
// which has no iconv: conversions go through the system's code pages (iconv_windows.cpp). Only the
// Windows build has this folder on its include path.
#pragma once

#include <cstddef>

using iconv_t = void*;

extern "C" {
// to and from: "UTF-8", "UTF-16LE", "UTF-32LE", "UTF-32BE", "CPnnn", "WINDOWS-nnnn", "ISO-8859-n",
// "KOI8-R", "KOI8-U", "EUC-JP", "ISO-2022-JP", "GB18030" (any case). (iconv_t)-1 with errno EINVAL
// for a name or code page the system does not know.
iconv_t iconv_open(const char* to, const char* from);
// As the C library's: converts whole characters, stops with EILSEQ before one the source does not
// define or the destination cannot hold, EINVAL before an incomplete one at the end of the input,
// E2BIG when the output is full. Null input resets the (stateless) descriptor.
std::size_t iconv(iconv_t cd, char** in, std::size_t* in_left, char** out, std::size_t* out_left);
int iconv_close(iconv_t cd);
}
