// Buffers with tied blocks: each allocation carries a small header in front of the caller's bytes;
// a buffer's header heads the list of the blocks tied to it.
#include "platform/mapilib/mapi_allocator.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace mapilib {
namespace {

constexpr std::uint32_t kBufferMagic = 0x4D415042;  // "BPAM": a buffer from AllocateBuffer
constexpr std::uint32_t kMoreMagic = 0x4D41504D;    // a block tied to a buffer

struct alignas(16) Header {
  Header* next_tied;  // buffer: first tied block; tied block: the next one
  Header* owner;      // tied block: its buffer; buffer: itself
  std::uint32_t magic;
};

Header* HeaderOf(void* user) { return static_cast<Header*>(user) - 1; }

Header* NewBlock(std::size_t size, std::uint32_t magic) {
  if (size > (std::size_t{1} << 31)) return nullptr;
  void* raw = std::calloc(1, sizeof(Header) + size);
  if (!raw) return nullptr;
  Header* h = new (raw) Header{nullptr, nullptr, magic};
  return h;
}

}  // namespace

void* AllocateBuffer(std::size_t size) {
  Header* h = NewBlock(size, kBufferMagic);
  if (!h) return nullptr;
  h->owner = h;
  return h + 1;
}

void* AllocateMore(std::size_t size, void* parent) {
  if (!parent) return nullptr;
  Header* p = HeaderOf(parent);
  if (p->magic != kBufferMagic && p->magic != kMoreMagic) return nullptr;
  Header* buffer = p->owner;
  Header* h = NewBlock(size, kMoreMagic);
  if (!h) return nullptr;
  h->owner = buffer;
  h->next_tied = buffer->next_tied;
  buffer->next_tied = h;
  return h + 1;
}

bool FreeBuffer(void* user) noexcept {
  if (!user) return true;
  Header* h = HeaderOf(user);
  if (h->magic != kBufferMagic) return false;
  Header* tied = h->next_tied;
  while (tied) {
    Header* next = tied->next_tied;
    tied->magic = 0;
    std::free(tied);
    tied = next;
  }
  h->magic = 0;
  std::free(h);
  return true;
}

LPBYTE CopyBytes(std::span<const std::byte> bytes, void* parent) {
  void* out = AllocateMore(bytes.empty() ? 1 : bytes.size(), parent);
  if (out && !bytes.empty()) std::memcpy(out, bytes.data(), bytes.size());
  return static_cast<LPBYTE>(out);
}

LPSTR CopyText(std::string_view text, void* parent) {
  void* out = AllocateMore(text.size() + 1, parent);
  if (out) std::memcpy(out, text.data(), text.size());
  return static_cast<LPSTR>(out);
}

}  // namespace mapilib
