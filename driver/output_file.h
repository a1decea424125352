// An output file that is only ever appended to and, after a failed append, cut back: what the
// archive writer and the folder list need of the file system. Tests put failing files in its place.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

namespace driver {

class OutputFile {
 public:
  virtual ~OutputFile() = default;

  // Appends the pieces (at most eight) in order, as one write where the system allows. On failure
  // some leading part of the pieces may have reached the file.
  virtual std::error_code Append(std::initializer_list<std::string_view> pieces) = 0;
  // Cuts the file back to length bytes.
  virtual std::error_code Truncate(std::uint64_t length) = 0;
  // Closes the file; reports errors of writes the system had deferred. Idempotent.
  virtual std::error_code Close() = 0;

  virtual const std::string& path() const = 0;
};

// Creates (or empties) the file at path for writing and holds an exclusive lock on it until it is
// closed. Throws FileError with the text "Cannot create file "<path>". <reason>" when it cannot be
// created, or when another run holds the lock (the file is then left as it was).
std::unique_ptr<OutputFile> CreateOutputFile(const std::string& path);

}  // namespace driver
