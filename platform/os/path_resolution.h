// Where a path leads: the absolute path of the file it names once every symbolic link on the way
// has been followed, the last one included, also when that last link points at a file that does
// not exist yet (opening the path for writing would create the file there).
#pragma once

#include <string>

namespace os {

// The absolute, normalised path of the file that path names: "." and ".." are resolved as the
// system resolves them, and each symbolic link (at most 40, as the system allows) is replaced by
// its target. From the first component that does not exist on, the rest is kept as written
// (nothing below a missing folder can be reached, so "missing/../x" is not "x"). A relative path is
// taken from the process's current directory. When links loop, the path is resolved as far as the
// loop.
std::string FinalTarget(const std::string& path);

// Whether two paths as FinalTarget gives them are one spelling: byte for byte on Linux, ignoring
// case on Windows (whose file systems ignore it).
bool SamePathSpelling(const std::string& a, const std::string& b);

}  // namespace os
