// CRC-32 fingerprints over the shared register kernels.
#include "support/hash/crc32.h"

#include "support/hash/crc32_update.h"

namespace hash {

std::uint32_t Crc32TableEntry(std::uint8_t index) {
  // One zero byte through a register holding index leaves exactly table[index].
  const std::uint8_t zero = 0;
  return AdvanceCrc32With(Crc32Kernel::kTable, index, &zero, 1);
}

void THashCrc32::Update(std::span<const std::uint8_t> bytes) {
  register_ = AdvanceCrc32(register_, bytes.data(), bytes.size());
}

void THashCrc32::Update(std::string_view bytes) {
  register_ = AdvanceCrc32(register_, bytes.data(), bytes.size());
}

}  // namespace hash
