// The C library's heap: trimming and the size from which allocations are mapped on their own,
// fixed instead of adapting (which lets a few large frees start a trim after every message).
#include "platform/os/heap_reuse.h"

#include <malloc.h>

namespace os {
namespace {

constexpr int kKeptFreeBytes = 64 << 20;
constexpr int kMappedFromBytes = 32 << 20;

}  // namespace

void KeepFreedMemory() {
  mallopt(M_TRIM_THRESHOLD, kKeptFreeBytes);
  mallopt(M_MMAP_THRESHOLD, kMappedFromBytes);
}

}  // namespace os
