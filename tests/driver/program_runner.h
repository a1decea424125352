// Runs a built program in a child process, in a given working directory, and captures its exit
// code, standard output and standard error; optionally under a file-size limit so that writes fail
// as on a full disk.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace driver_test {

struct ProgramOutput {
  int exit_code = -1;
  std::string out;
  std::string err;
};

struct RunOptions {
  std::string working_directory;
  // Largest file the program may write, in bytes (writes past it fail with EFBIG).
  std::optional<std::uint64_t> file_size_limit;
};

ProgramOutput RunBuiltProgram(const std::string& executable, const std::vector<std::string>& arguments,
                              const RunOptions& options);

// A fresh directory under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& content);
bool FileExists(const std::string& path);

}  // namespace driver_test
