// The one error the writer raises: something the file cannot represent, or an I/O failure. The
// message says what and why, so that callers can show it as it stands.
#pragma once

#include <stdexcept>
#include <string>

namespace pstwriter {

class WriteError : public std::runtime_error {
 public:
  explicit WriteError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace pstwriter
