// Advisory locks with flock, which locks the whole file and works on every local file system.
#include "platform/os/file_lock.h"

#include <sys/file.h>
#include <cerrno>

namespace os {

std::error_code TryLockExclusive(int fd) {
  while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    if (errno == EWOULDBLOCK)
      return std::make_error_code(std::errc::resource_unavailable_try_again);
    return {errno, std::generic_category()};
  }
  return {};
}

}  // namespace os
