// The trace line of an exception the boundary contained.
#include "platform/mapilib/boundary_guard.h"

#include <algorithm>
#include <cstdio>

#include "platform/os/debug_output.h"

namespace mapilib {

void TraceContained(const char* where, const char* what, const char* code) noexcept {
  // Formatted on the stack: the exception may well have been a failed allocation.
  char line[256];
  const int n = std::snprintf(line, sizeof line, "%s: %s, %s returned", where, what, code);
  if (n <= 0) return;
  try {
    os::CurrentDebugOutput().Write(
        std::string_view(line, std::min<std::size_t>(n, sizeof line - 1)));
  } catch (...) {
    // Nothing more can be said without memory.
  }
}

}  // namespace mapilib
