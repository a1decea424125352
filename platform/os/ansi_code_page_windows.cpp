// The ANSI code page from the system.
#include <windows.h>

#include "platform/os/ansi_code_page.h"

namespace os {

unsigned AnsiCodePage() { return GetACP(); }

}  // namespace os
