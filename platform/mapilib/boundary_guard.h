// What leaves the library through an exported function or an interface method is a result code,
// never an exception: the caller is C or COM and cannot catch one. Guarded runs a method's body and
// turns what it throws into the code the caller understands, with one trace line naming the method.
//
// Guarded is also where the library is made safe for callers on several threads: every exported
// function and interface method that does work runs its body holding LibraryLock(), so the reader
// below (its caches, reused buffers and lazily loaded maps) is only ever entered by one thread at a
// time. Callers may work on different objects of one store from different threads; what they do
// between calls (composing text from the values read) runs in parallel.
#pragma once

#include <atomic>
#include <exception>
#include <mutex>
#include <new>
#include <thread>

#include "libs/mapi/mapi.h"

namespace mapilib {

// Writes "<where>: <what>, <code> returned" to the debug output; never throws.
void TraceContained(const char* where, const char* what, const char* code) noexcept;

// The library's one lock, held by every call into it for the call's duration. Recursive: a method
// may call another exported function or method (HrGetOneProp calls GetProps). Nothing else in the
// library is shared between threads without being guarded by it, apart from the reference counts
// (atomic) and the integrity log (its own mutex, as the log is also written while it is held).
// A waiting thread spins a little before it sleeps: most calls are short, and putting a thread to
// sleep and waking it again costs more than they do.
class LibraryMutex {
 public:
  void lock() noexcept;
  void unlock() noexcept;

 private:
  std::atomic<bool> locked_{false};
  // The holder, so that it may enter again; written only by the holder.
  std::atomic<std::thread::id> owner_{};
  int depth_ = 0;  // the holder's entries; touched only by the holder
};

LibraryMutex& LibraryLock() noexcept;

// body() under LibraryLock() or, when it throws: MAPI_E_NOT_ENOUGH_MEMORY for std::bad_alloc,
// MAPI_E_CALL_FAILED for anything else.
template <typename Body>
HRESULT Guarded(const char* where, Body&& body) noexcept {
  try {
    const std::lock_guard<LibraryMutex> lock(LibraryLock());
    return body();
  } catch (const std::bad_alloc&) {
    TraceContained(where, "out of memory", "MAPI_E_NOT_ENOUGH_MEMORY");
    return MAPI_E_NOT_ENOUGH_MEMORY;
  } catch (const std::exception& error) {
    TraceContained(where, error.what(), "MAPI_E_CALL_FAILED");
    return MAPI_E_CALL_FAILED;
  } catch (...) {
    TraceContained(where, "unknown exception", "MAPI_E_CALL_FAILED");
    return MAPI_E_CALL_FAILED;
  }
}

}  // namespace mapilib
