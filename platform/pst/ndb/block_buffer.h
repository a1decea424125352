// A byte buffer that keeps its storage from one block to the next and does not clear what it hands
// out: every byte of it is overwritten by a read before anyone looks at it. Lets the node database
// read block after block without an allocation or a fill per block.
#pragma once

#include <cstddef>
#include <memory>
#include <span>

namespace pst::ndb {

class BlockBuffer {
 public:
  // size bytes of storage, their contents unspecified; storage grows, never shrinks.
  std::span<std::byte> Resize(std::size_t size) {
    if (size > capacity_) {
      data_.reset(new std::byte[size]);
      capacity_ = size;
    }
    size_ = size;
    return {data_.get(), size_};
  }
  // Drops bytes at the end (the trailer after a block's data, for instance).
  void Truncate(std::size_t size) {
    if (size < size_) size_ = size;
  }

  std::span<std::byte> bytes() { return {data_.get(), size_}; }
  std::span<const std::byte> bytes() const { return {data_.get(), size_}; }
  std::size_t size() const { return size_; }

 private:
  std::unique_ptr<std::byte[]> data_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace pst::ndb
