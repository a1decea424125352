// The three encodings of external data blocks (bCryptMethod of the file header): none, permute
// ("compressible") and cyclic ("high"). All work in place over whole buffers. The writer of test
// files uses the Encode side, the reader the Decode side.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace pst::ndb {

// bCryptMethod values of the file header.
enum class CryptMethod : std::uint8_t {
  kNone = 0x00,     // NDB_CRYPT_NONE
  kPermute = 0x01,  // NDB_CRYPT_PERMUTE
  kCyclic = 0x02,   // NDB_CRYPT_CYCLIC
};

// The instruction sets the permute and cyclic methods can run with. kScalar runs anywhere and is
// the reference the others must match.
enum class EncodingKernel : std::uint8_t { kScalar, kAvx2, kAvx512Vbmi };

// True when this CPU can run the kernel.
bool EncodingKernelAvailable(EncodingKernel kernel);
// The kernel the functions below use on this CPU (the fastest available, chosen once).
EncodingKernel BestEncodingKernel();

// True for the three values above.
bool IsKnownCryptMethod(std::uint8_t value);

// NDB_CRYPT_PERMUTE: a byte-wise substitution and its inverse.
void EncodePermute(std::span<std::byte> data);
void DecodePermute(std::span<std::byte> data);
void DecodePermuteWith(EncodingKernel kernel, std::span<std::byte> data);

// NDB_CRYPT_CYCLIC: its own inverse; key is the low 32 bits of the block id.
void CryptCyclic(std::span<std::byte> data, std::uint32_t key);
void CryptCyclicWith(EncodingKernel kernel, std::span<std::byte> data, std::uint32_t key);

// Applies the file's method to one external block's data (bid supplies the cyclic key).
void EncodeBlockData(CryptMethod method, std::span<std::byte> data, std::uint64_t bid);
void DecodeBlockData(CryptMethod method, std::span<std::byte> data, std::uint64_t bid);

}  // namespace pst::ndb
