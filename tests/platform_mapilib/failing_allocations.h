// Allocation failures on demand for this test executable: operator new is replaced here, so every
// allocation of the process goes through it, the mail library's included (the library is loaded
// into the process and takes the executable's operator new). While a FailingAllocations lives, it
// counts allocations and makes the one with the chosen number throw std::bad_alloc (once).
#pragma once

#include <cstdint>

namespace platform_mapilib_test {

class FailingAllocations {
 public:
  // Fails the allocation numbered `fail_at` (0: the next one); kNever counts without failing.
  explicit FailingAllocations(std::int64_t fail_at);
  ~FailingAllocations();
  FailingAllocations(const FailingAllocations&) = delete;
  FailingAllocations& operator=(const FailingAllocations&) = delete;

  static constexpr std::int64_t kNever = -1;

  // Allocations made since construction.
  std::int64_t counted() const;
  // True once the chosen allocation was reached and failed.
  bool failed() const;
};

}  // namespace platform_mapilib_test
