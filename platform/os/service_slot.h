// A replaceable platform service: the system implementation by default, a test double while a test
// has installed one. Every service of platform/os is reached through one of these.
#pragma once

namespace os {

template <typename Service>
class ServiceSlot {
 public:
  // constexpr: slots are initialised before any dynamic initialiser of another file can ask them.
  constexpr explicit ServiceSlot(Service& system) : system_(system), current_(&system) {}

  Service& get() const { return *current_; }
  // Installs a replacement (nullptr restores the system service); returns the previous one.
  Service* install(Service* replacement) {
    Service* previous = current_;
    current_ = replacement ? replacement : &system_;
    return previous;
  }

 private:
  Service& system_;
  Service* current_;
};

// Installs a replacement for the lifetime of a scope (tests).
template <typename Service, Service* (*Install)(Service*)>
class ScopedService {
 public:
  explicit ScopedService(Service& replacement) : previous_(Install(&replacement)) {}
  ~ScopedService() { Install(previous_); }
  ScopedService(const ScopedService&) = delete;
  ScopedService& operator=(const ScopedService&) = delete;

 private:
  Service* previous_;
};

}  // namespace os
