// Closed standard descriptors filled with NUL; all three switched to binary mode, so that the
// program's own CR LF line ends reach the console and files unchanged.
#include "platform/os/standard_streams.h"

#include <fcntl.h>
#include <io.h>

namespace os {

bool EnsureStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (_get_osfhandle(fd) == -1) {
      const int opened = _open("NUL", fd == 0 ? _O_RDONLY : _O_WRONLY);
      if (opened != fd) {
        if (opened >= 0) _close(opened);
        return false;
      }
    }
    _setmode(fd, _O_BINARY);
  }
  return true;
}

}  // namespace os
