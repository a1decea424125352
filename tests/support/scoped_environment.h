// An environment variable set (or removed) for one test and given back its earlier state after.
#pragma once

#include <optional>
#include <string>

namespace test_support {

class ScopedEnvironment {
 public:
  // Sets `name` to `value`, or removes it when `value` is nullopt.
  ScopedEnvironment(std::string name, const std::optional<std::string>& value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string name_;
  std::optional<std::string> earlier_;
};

}  // namespace test_support
