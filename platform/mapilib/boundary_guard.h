// What leaves the library through an exported function or an interface method is a result code,
// never an exception: the caller is C or COM and cannot catch one. Guarded runs a method's body and
// turns what it throws into the code the caller understands, with one trace line naming the method.
//
// The library is safe for callers on several threads that work on different messages of one store
// at once (each message, with the objects opened from it, used by one thread at a time): what such
// calls share guards itself. That is the store object's last error (StoreObject), the reader's
// integrity log, page cache, kept messages and data nodes (each with its own mutex), the file
// (positioned reads only), the reference counts (atomic), the profile registry (its own mutex) and
// the debug output (TraceFile). Everything else a call touches belongs to the object it was made
// on.
#pragma once

#include <exception>
#include <new>

#include "libs/mapi/mapi.h"

namespace mapilib {

// Writes "<where>: <what>, <code> returned" to the debug output; never throws.
void TraceContained(const char* where, const char* what, const char* code) noexcept;

// body() or, when it throws: MAPI_E_NOT_ENOUGH_MEMORY for std::bad_alloc,
// MAPI_E_CALL_FAILED for anything else.
template <typename Body>
HRESULT Guarded(const char* where, Body&& body) noexcept {
  try {
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
