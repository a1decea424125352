// Block data encodings: the scalar reference and the choice of kernel. The tables are in
// crypt_tables.h, the vector kernels in block_encoding_kernels.cpp.
#include "platform/pst/ndb/block_encoding.h"

#include "platform/pst/ndb/block_encoding_kernels.h"
#include "platform/pst/ndb/crypt_tables.h"

namespace pst::ndb {
namespace {

using crypt_tables::kTableI;
using crypt_tables::kTableR;
using crypt_tables::kTableS;
using crypt_tables::Table;

std::uint8_t* Bytes(std::span<std::byte> data) {
  return reinterpret_cast<std::uint8_t*>(data.data());
}

void Substitute(std::span<std::byte> data, const Table& table) {
  std::uint8_t* p = Bytes(data);
  for (std::size_t i = 0; i < data.size(); ++i) p[i] = table[p[i]];
}

void SubstituteWith(EncodingKernel kernel, std::span<std::byte> data, const Table& table) {
  switch (kernel) {
    case EncodingKernel::kAvx512Vbmi:
      return encoding_kernels::SubstituteAvx512Vbmi(table, Bytes(data), data.size());
    case EncodingKernel::kAvx2:
      return encoding_kernels::SubstituteAvx2(table, Bytes(data), data.size());
    case EncodingKernel::kScalar:
      return Substitute(data, table);
  }
}

void CyclicScalar(std::span<std::byte> data, std::uint16_t w) {
  for (std::byte& cell : data) {
    const std::uint8_t lo = static_cast<std::uint8_t>(w);
    const std::uint8_t hi = static_cast<std::uint8_t>(w >> 8);
    std::uint8_t b = static_cast<std::uint8_t>(cell);
    b = kTableR[static_cast<std::uint8_t>(b + lo)];
    b = kTableS[static_cast<std::uint8_t>(b + hi)];
    b = kTableI[static_cast<std::uint8_t>(b - hi)];
    cell = static_cast<std::byte>(static_cast<std::uint8_t>(b - lo));
    ++w;
  }
}

}  // namespace

bool EncodingKernelAvailable(EncodingKernel kernel) {
  switch (kernel) {
    case EncodingKernel::kScalar:
      return true;
    case EncodingKernel::kAvx2:
      return encoding_kernels::HasAvx2();
    case EncodingKernel::kAvx512Vbmi:
      return encoding_kernels::HasAvx512Vbmi();
  }
  return false;
}

EncodingKernel BestEncodingKernel() {
  static const EncodingKernel best =
      EncodingKernelAvailable(EncodingKernel::kAvx512Vbmi) ? EncodingKernel::kAvx512Vbmi
      : EncodingKernelAvailable(EncodingKernel::kAvx2)     ? EncodingKernel::kAvx2
                                                           : EncodingKernel::kScalar;
  return best;
}

bool IsKnownCryptMethod(std::uint8_t value) {
  return value == static_cast<std::uint8_t>(CryptMethod::kNone) ||
         value == static_cast<std::uint8_t>(CryptMethod::kPermute) ||
         value == static_cast<std::uint8_t>(CryptMethod::kCyclic);
}

void EncodePermute(std::span<std::byte> data) {
  SubstituteWith(BestEncodingKernel(), data, kTableR);
}

void DecodePermute(std::span<std::byte> data) {
  SubstituteWith(BestEncodingKernel(), data, kTableI);
}

void DecodePermuteWith(EncodingKernel kernel, std::span<std::byte> data) {
  SubstituteWith(kernel, data, kTableI);
}

void CryptCyclic(std::span<std::byte> data, std::uint32_t key) {
  CryptCyclicWith(BestEncodingKernel(), data, key);
}

void CryptCyclicWith(EncodingKernel kernel, std::span<std::byte> data, std::uint32_t key) {
  const auto w = static_cast<std::uint16_t>(key ^ (key >> 16));
  std::size_t done = 0;
  if (kernel == EncodingKernel::kAvx512Vbmi) {
    done = encoding_kernels::CyclicAvx512Vbmi(Bytes(data), data.size(), w);
  } else if (kernel == EncodingKernel::kAvx2) {
    done = encoding_kernels::CyclicAvx2(Bytes(data), data.size(), w);
  }
  CyclicScalar(data.subspan(done), static_cast<std::uint16_t>(w + done));
}

void EncodeBlockData(CryptMethod method, std::span<std::byte> data, std::uint64_t bid) {
  switch (method) {
    case CryptMethod::kPermute:
      EncodePermute(data);
      break;
    case CryptMethod::kCyclic:
      CryptCyclic(data, static_cast<std::uint32_t>(bid));
      break;
    case CryptMethod::kNone:
      break;
  }
}

void DecodeBlockData(CryptMethod method, std::span<std::byte> data, std::uint64_t bid) {
  switch (method) {
    case CryptMethod::kPermute:
      DecodePermute(data);
      break;
    case CryptMethod::kCyclic:
      CryptCyclic(data, static_cast<std::uint32_t>(bid));
      break;
    case CryptMethod::kNone:
      break;
  }
}

}  // namespace pst::ndb
