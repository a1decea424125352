// The library's memory: buffers handed to callers (MAPIAllocateBuffer), further blocks tied to them
// (MAPIAllocateMore) and their release (MAPIFreeBuffer frees a buffer with every block tied to it).
// Nothing is shared between two buffers, so callers on different threads need no lock as long as
// each buffer (with its tied blocks) is used by one thread at a time.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string_view>

#include "libs/mapi/mapi_types.h"

namespace mapilib {

// A new buffer of `size` bytes, zeroed; null when out of memory.
void* AllocateBuffer(std::size_t size);
// A block tied to the buffer `parent` (itself a buffer, or a block tied to one); null on failure.
void* AllocateMore(std::size_t size, void* parent);
// Frees a buffer and its tied blocks. Blocks from AllocateMore are not freed alone: false then.
bool FreeBuffer(void* buffer) noexcept;

// Owns a buffer until it is handed out (release()); frees it with its tied blocks otherwise.
struct BufferFree {
  void operator()(void* buffer) const noexcept { FreeBuffer(buffer); }
};
template <typename T>
using OwnedBuffer = std::unique_ptr<T, BufferFree>;

// Copies tied to `parent`: bytes, and text with a terminating zero.
LPBYTE CopyBytes(std::span<const std::byte> bytes, void* parent);
LPSTR CopyText(std::string_view text, void* parent);

}  // namespace mapilib
