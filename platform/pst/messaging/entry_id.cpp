// Entry id encoding and decoding.
#include "platform/pst/messaging/entry_id.h"

#include <algorithm>

#include "platform/pst/ltp/le_bytes.h"

namespace pst::messaging {

Result<EntryId> EntryId::Decode(std::span<const std::byte> bytes) {
  if (bytes.size() != kSize) {
    return Status::NotFound("entry id of " + std::to_string(bytes.size()) + " bytes, not 24");
  }
  EntryId id;
  std::copy_n(bytes.begin(), kFlagsSize, id.flags.begin());
  std::copy_n(bytes.begin() + kProviderOffset, id.provider.size(), id.provider.begin());
  id.node = ltp::LoadU32(bytes, kNodeOffset);
  return id;
}

std::vector<std::byte> EntryId::Encode() const {
  std::vector<std::byte> out(kSize);
  std::copy(flags.begin(), flags.end(), out.begin());
  std::copy(provider.begin(), provider.end(), out.begin() + kProviderOffset);
  for (int i = 0; i < 4; ++i) out[kNodeOffset + i] = static_cast<std::byte>(node >> (8 * i));
  return out;
}

}  // namespace pst::messaging
