// How paths are written on this platform: the folder separator, where a file name begins, and
// which command-line values are taken from the current directory.
//   Windows: "\" separates folders ("/" is accepted too); a drive is a letter and ":" ("C:").
//   Elsewhere: "/" separates folders; ":" is an ordinary character.
#pragma once

#include <string_view>

namespace os {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
inline constexpr std::string_view kPathSeparators = "\\/";
// Characters after which a file name begins: the separators and a drive's ":".
inline constexpr std::string_view kNameBoundaries = "\\/:";
#else
inline constexpr char kPathSeparator = '/';
inline constexpr std::string_view kPathSeparators = "/";
inline constexpr std::string_view kNameBoundaries = "/";
#endif

// True when value says where it lies (it holds a separator, or on Windows starts with a drive), so
// that it is used as it stands; otherwise it names a file in the current directory.
constexpr bool LocatesItself(std::string_view value) {
  if (value.find_first_of(kPathSeparators) != std::string_view::npos) return true;
#ifdef _WIN32
  const bool drive = value.size() >= 2 && value[1] == ':' &&
                     ((value[0] >= 'A' && value[0] <= 'Z') || (value[0] >= 'a' && value[0] <= 'z'));
  return drive;
#else
  return false;
#endif
}

}  // namespace os
