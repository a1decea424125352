// A file that is only ever appended to and cut back, with an exclusive lock between processes:
// what the export's output files need of the file system. Move-only; the destructor closes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

namespace os {

class AppendFile {
 public:
  // Most pieces one Append takes.
  static constexpr std::size_t kMaxPieces = 8;

  AppendFile() = default;
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;
  AppendFile(AppendFile&& other) noexcept;
  AppendFile& operator=(AppendFile&& other) noexcept;
  ~AppendFile();

  // Opens path for writing, creating it when missing, without emptying it.
  std::error_code Open(const std::string& path);
  // Takes an exclusive lock without waiting: std::errc::resource_unavailable_try_again when another
  // open file holds one. The lock goes away with the file.
  std::error_code TryLock();
  // Empties the file where it has a length to cut (a device or pipe is left as it is).
  std::error_code Empty();
  // Appends the pieces in order, as one write where the system allows; resumes after short writes.
  // On failure some leading part of the pieces may have reached the file.
  std::error_code Append(std::span<const std::string_view> pieces);
  // Cuts the file back to length bytes; later appends go to the new end.
  std::error_code Truncate(std::uint64_t length);
  // Reports errors of writes the system had deferred. Idempotent.
  std::error_code Close();

 private:
  int fd_ = -1;  // the system's descriptor; -1 when closed
};

}  // namespace os
