// The Windows heap keeps and reuses freed blocks on its own.
#include "platform/os/heap_reuse.h"

namespace os {

void KeepFreedMemory() {}

}  // namespace os
