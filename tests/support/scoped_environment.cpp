// Setting and removing environment variables through the C runtime of each system.
#include "tests/support/scoped_environment.h"

#include <cstdlib>

namespace test_support {
namespace {

void Assign(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
  // The C runtime removes a variable given an empty value.
  _putenv_s(name.c_str(), value ? value->c_str() : "");
#else
  if (value) {
    setenv(name.c_str(), value->c_str(), 1);
  } else {
    unsetenv(name.c_str());
  }
#endif
}

}  // namespace

ScopedEnvironment::ScopedEnvironment(std::string name, const std::optional<std::string>& value)
    : name_(std::move(name)) {
  if (const char* earlier = std::getenv(name_.c_str())) earlier_ = earlier;
  Assign(name_, value);
}

ScopedEnvironment::~ScopedEnvironment() { Assign(name_, earlier_); }

}  // namespace test_support
