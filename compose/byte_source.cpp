// Byte sources over memory.
#include "compose/byte_source.h"

#include <algorithm>
#include <cstring>

namespace compose {

std::size_t StringByteSource::Read(char* buffer, std::size_t size) {
  const std::size_t n = std::min(size, data_.size() - position_);
  if (n > 0) std::memcpy(buffer, data_.data() + position_, n);
  position_ += n;
  return n;
}

}  // namespace compose
