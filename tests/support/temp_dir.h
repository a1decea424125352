// A fresh directory for one test's files, removed with everything in it when the object goes.
#pragma once

#include <string>
#include <string_view>

namespace test_support {

// The directory lies under the system's temporary folder; its name carries the process id and a
// unique suffix, so tests running in parallel processes never share one.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // The path of `name` inside the directory, joined with the system's own separator.
  std::string operator/(std::string_view name) const;

 private:
  std::string path_;
};

}  // namespace test_support
