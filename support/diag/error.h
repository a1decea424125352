// The program's ordinary error object: what the driver and the MIME model raise when an operation
// cannot go on. The dispatch base turns it into an automation exception with its message; the
// top level reports its message on standard error.
#pragma once

#include <stdexcept>
#include <string>

namespace diag {

class EPlError : public std::runtime_error {
 public:
  explicit EPlError(const std::string& message) : std::runtime_error(message) {}
  explicit EPlError(const char* message) : std::runtime_error(message) {}
};

}  // namespace diag
