// The system's text for a Windows error code (GetLastError), for error messages.
#pragma once

#include <string>

namespace os {

// The message the system has for code, without its trailing line end; "error N" when it has none.
std::string SystemMessage(unsigned long code);

}  // namespace os
