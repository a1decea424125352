// Whole-file locks with LockFileEx on the descriptor's system handle.
#include <io.h>
#include <windows.h>

#include "platform/os/file_lock.h"

namespace os {

std::error_code TryLockExclusive(int fd) {
  const intptr_t handle = _get_osfhandle(fd);
  if (handle == -1) return std::make_error_code(std::errc::bad_file_descriptor);
  OVERLAPPED from_start{};
  if (LockFileEx(reinterpret_cast<HANDLE>(handle),
                 LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                 &from_start))
    return {};
  const DWORD error = GetLastError();
  if (error == ERROR_LOCK_VIOLATION || error == ERROR_SHARING_VIOLATION)
    return std::make_error_code(std::errc::resource_unavailable_try_again);
  return {static_cast<int>(error), std::system_category()};
}

}  // namespace os
