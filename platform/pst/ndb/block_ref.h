// BREF: a block id and the file offset (IB) of that block or page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/pst/ndb/format_layout.h"
#include "platform/pst/util/endian.h"

namespace pst::ndb {

struct BlockRef {
  std::uint64_t bid = 0;
  std::uint64_t ib = 0;  // byte offset in the file

  // Encoded size: two ids of the variant's width.
  static std::size_t Size(const FormatLayout& layout) { return 2 * layout.id_size; }
  // The caller guarantees Size(layout) bytes at `at`.
  static BlockRef Load(std::span<const std::byte> b, std::size_t at, const FormatLayout& layout) {
    return {util::LoadLeId(b, at, layout.id_size),
            util::LoadLeId(b, at + layout.id_size, layout.id_size)};
  }
};

}  // namespace pst::ndb
