// Filling closed standard descriptors with /dev/null.
#include "platform/os/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

namespace os {

bool EnsureStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free number is taken, which is fd itself: lower ones are open by now.
    int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (opened != fd) {
      if (opened >= 0) close(opened);
      return false;
    }
  }
  return true;
}

}  // namespace os
