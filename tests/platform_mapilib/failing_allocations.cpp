// The replaced operator new and delete behind FailingAllocations. Process-wide by nature: the
// counters are what the replaced operators consult, and only one FailingAllocations is armed at a
// time.
#include "tests/platform_mapilib/failing_allocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace platform_mapilib_test {
namespace {

struct Counters {
  std::atomic<bool> armed{false};
  std::atomic<std::int64_t> count{0};
  std::atomic<std::int64_t> fail_at{FailingAllocations::kNever};
  std::atomic<bool> failed{false};
};

Counters& TheCounters() {
  static Counters counters;
  return counters;
}

// True when this allocation is the one to fail.
bool CountAllocation() {
  Counters& c = TheCounters();
  if (!c.armed.load(std::memory_order_relaxed)) return false;
  const std::int64_t number = c.count.fetch_add(1);
  if (number != c.fail_at.load()) return false;
  c.failed = true;
  return true;
}

void* Allocate(std::size_t size) {
  if (CountAllocation()) throw std::bad_alloc();
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  return p;
}

}  // namespace

FailingAllocations::FailingAllocations(std::int64_t fail_at) {
  Counters& c = TheCounters();
  c.count = 0;
  c.failed = false;
  c.fail_at = fail_at;
  c.armed = true;
}

FailingAllocations::~FailingAllocations() { TheCounters().armed = false; }

std::int64_t FailingAllocations::counted() const { return TheCounters().count; }

bool FailingAllocations::failed() const { return TheCounters().failed; }

}  // namespace platform_mapilib_test

void* operator new(std::size_t size) { return platform_mapilib_test::Allocate(size); }
void* operator new[](std::size_t size) { return platform_mapilib_test::Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return platform_mapilib_test::Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
