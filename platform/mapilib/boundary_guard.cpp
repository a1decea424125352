// The trace line of an exception the boundary contained.
#include "platform/mapilib/boundary_guard.h"

#include <algorithm>
#include <cstdio>

#include "platform/os/debug_output.h"

namespace mapilib {

namespace {

// Tries before a waiting thread sleeps: long enough for a short call to end.
constexpr int kSpins = 4000;

}  // namespace

void LibraryMutex::lock() noexcept {
  const std::thread::id self = std::this_thread::get_id();
  if (owner_.load(std::memory_order_relaxed) == self) {
    ++depth_;
    return;
  }
  bool taken = false;
  for (int i = 0; i < kSpins && !taken; ++i) {
    taken = !locked_.load(std::memory_order_relaxed) &&
            !locked_.exchange(true, std::memory_order_acquire);
  }
  while (!taken) {
    locked_.wait(true, std::memory_order_relaxed);
    taken = !locked_.exchange(true, std::memory_order_acquire);
  }
  owner_.store(self, std::memory_order_relaxed);
  depth_ = 1;
}

void LibraryMutex::unlock() noexcept {
  if (--depth_ > 0) return;
  owner_.store(std::thread::id(), std::memory_order_relaxed);
  locked_.store(false, std::memory_order_release);
  locked_.notify_one();
}

LibraryMutex& LibraryLock() noexcept {
  // Shared by every thread that calls the library: the one piece of state that exists for that.
  static LibraryMutex lock;
  return lock;
}

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
