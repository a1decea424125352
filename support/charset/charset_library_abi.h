// The calling convention of character-set libraries ("*.chl" shared objects).
//
// A library exports one C entry, "RegisterCharsetLibrary", of type PlRegisterCharsetLibrary. The
// registry calls it once, right after loading the library, with the interface version it speaks,
// its registration routine and an opaque host pointer. For each set it offers, the library calls
//   register_charset(host, aliases, category, description, factory)
// before returning. aliases is one comma-separated string (the first alias is the set's name);
// the three strings are copied during the call. factory returns a new TPlCharset allocated with
// new; the program owns it and deletes it through the virtual destructor. The registry ignores
// a set any of whose aliases (compared without regard to ASCII case) is already known.
//
// A library whose version differs from kPlCharsetLibraryAbiVersion registers nothing. Because the
// sets are C++ objects, a library must be built with the same compiler family and the same
// pl_charset.h as the program. Libraries stay loaded until the process ends.
#pragma once

#include <cstdint>

#include "support/charset/pl_charset.h"

namespace charset {

// Raised whenever the layout of TPlCharset or of this convention changes.
inline constexpr std::uint32_t kPlCharsetLibraryAbiVersion = 1;

inline constexpr const char kPlCharsetLibraryEntry[] = "RegisterCharsetLibrary";
inline constexpr const char kPlCharsetLibraryPattern[] = ".chl";

}  // namespace charset

// How a library marks its entry for export.
#ifdef _WIN32
#define PL_CHARSET_LIBRARY_EXPORT __declspec(dllexport)
#else
#define PL_CHARSET_LIBRARY_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

typedef charset::TPlCharset* (*PlCharsetFactory)();
typedef void (*PlRegisterCharset)(void* host, const char* aliases, const char* category,
                                  const char* description, PlCharsetFactory factory);
typedef void (*PlRegisterCharsetLibrary)(std::uint32_t abi_version,
                                         PlRegisterCharset register_charset, void* host);

}  // extern "C"
