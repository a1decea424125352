// A property value read as a stream: either bytes already in memory (values kept in the heap) or
// the data of a subnode, read by range so that large bodies and attachments never load whole.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/pst/ndb/node.h"

namespace pst::ltp {

class ValueStream {
 public:
  static ValueStream FromBytes(std::vector<std::byte> bytes) {
    ValueStream s;
    s.bytes_ = std::move(bytes);
    return s;
  }
  static ValueStream FromNode(std::unique_ptr<ndb::Node> node) {
    ValueStream s;
    s.node_ = std::move(node);
    return s;
  }

  std::uint64_t size() const { return node_ ? node_->size() : bytes_.size(); }

  // Reads up to out.size() bytes at offset; the count is short only at the end of the value. A read
  // that meets damaged data fails.
  Result<std::size_t> ReadAt(std::uint64_t offset, std::span<std::byte> out) const {
    if (node_) return node_->ReadAt(offset, out);
    if (offset >= bytes_.size()) return std::size_t{0};
    const std::size_t n = std::min<std::uint64_t>(out.size(), bytes_.size() - offset);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), n, out.begin());
    return n;
  }

 private:
  ValueStream() = default;

  std::vector<std::byte> bytes_;
  std::unique_ptr<ndb::Node> node_;  // set when the value lives in a subnode
};

}  // namespace pst::ltp
