// Creation and removal of the tests' temporary directories.
#include "tests/support/temp_dir.h"

#include <filesystem>
#include <random>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace test_support {

TempDir::TempDir() {
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  std::random_device seed;
  std::mt19937_64 suffixes(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate = base / ("pst2xmz-test-" + std::to_string(getpid()) +
                                                    "-" + std::to_string(suffixes() % 1000000000));
    std::error_code error;
    if (std::filesystem::create_directory(candidate, error)) {
      path_ = candidate.string();
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::operator/(std::string_view name) const {
  return path_ + static_cast<char>(std::filesystem::path::preferred_separator) + std::string(name);
}

}  // namespace test_support
