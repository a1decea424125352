// The running program's own file: its full path and its directory (no trailing "/").
#pragma once

#include <string>

namespace os {

// Full path of the running executable; empty when it cannot be determined.
std::string ExecutablePath();
// Directory of the running executable; "." when it cannot be determined.
std::string ExecutableDirectory();

}  // namespace os
