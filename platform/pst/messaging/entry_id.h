// Entry ids of objects in one file: 4 flag bytes (zero), the 16-byte record key of the store (its
// provider UID) and the 4-byte node id, little-endian.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <vector>

#include "platform/pst/ltp/property_value.h"

namespace pst::messaging {

struct EntryId {
  static constexpr std::size_t kSize = 24;
  static constexpr std::size_t kFlagsSize = 4;
  static constexpr std::size_t kProviderOffset = 4;
  static constexpr std::size_t kNodeOffset = 20;

  std::array<std::byte, kFlagsSize> flags{};
  ltp::Guid provider{};
  ndb::NodeId node = 0;

  // Decodes 24 bytes; kNotFound for any other length (not an entry id of a file like ours).
  static Result<EntryId> Decode(std::span<const std::byte> bytes);
  std::vector<std::byte> Encode() const;
};

}  // namespace pst::messaging
