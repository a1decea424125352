// The CRC-32 register (reflected polynomial 0xEDB88320) advanced over a buffer, without the
// customary inversion before and after: callers that want the common CRC-32 invert the seed and the
// result themselves. Two kernels give the same register: eight table look-ups per eight bytes, and
// carry-less multiplication folding sixty-four bytes per step. The fastest kernel the CPU runs is
// chosen once, at first use; tests and benchmarks can name a kernel.
#pragma once

#include <cstddef>
#include <cstdint>

namespace hash {

enum class Crc32Kernel : std::uint8_t {
  kTable,  // slicing-by-8, any CPU
  kClmul,  // PCLMULQDQ folding (x86-64 with PCLMULQDQ and SSE4.1)
};

// True when this CPU can run the kernel.
bool Crc32KernelAvailable(Crc32Kernel kernel);
// The kernel AdvanceCrc32 uses on this CPU.
Crc32Kernel BestCrc32Kernel();

// The register after the bytes [data, data + size), starting from crc.
std::uint32_t AdvanceCrc32(std::uint32_t crc, const void* data, std::size_t size);
// The same with the named kernel; it must be available.
std::uint32_t AdvanceCrc32With(Crc32Kernel kernel, std::uint32_t crc, const void* data,
                               std::size_t size);

}  // namespace hash
