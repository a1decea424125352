// The inner loop of base64 lines: whole buffers of bytes into lines of 72 characters, with the
// fastest instructions the processor offers, chosen at run time, and a portable loop beside them.
#pragma once

#include <cstddef>

namespace mime {

// Bytes encoded on each full line of 72 characters.
inline constexpr std::size_t kBase64LineBytes = 54;

enum class Base64Kernel {
  kScalar,  // portable: one 3-byte group at a time
  kSsse3,   // 12 bytes into 16 characters per step
  kAvx2,    // 24 bytes into 32 characters per step
};

// Whether this processor (and this build) can run the kernel; kScalar always can.
bool Base64KernelAvailable(Base64Kernel kernel);

// The fastest available kernel, decided on first use.
Base64Kernel FastestBase64Kernel();

// Characters EncodeBase64LineBlock writes for size bytes.
constexpr std::size_t Base64LineBlockSize(std::size_t size) {
  return (size + 2) / 3 * 4 + (size + kBase64LineBytes - 1) / kBase64LineBytes * 2;
}

// Encodes size bytes as lines of 72 characters (54 bytes), each ended by CR LF; a last line of
// fewer bytes is shorter and padded with "=". No bytes write nothing. Writes exactly
// Base64LineBlockSize(size) characters to out and returns the end. kernel must be available.
char* EncodeBase64LineBlock(const unsigned char* in, std::size_t size, char* out,
                            Base64Kernel kernel);

}  // namespace mime
