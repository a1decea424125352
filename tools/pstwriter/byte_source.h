// Where a large binary value comes from. The writer pulls it in block-sized pieces, so values of
// hundreds of megabytes never have to exist in memory as a whole.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "tools/pstwriter/byte_writer.h"

namespace pstwriter {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::uint64_t size() const = 0;
  // Fills out with the bytes at offset; offset + out.size() <= size().
  virtual void Read(std::uint64_t offset, std::span<std::byte> out) const = 0;
};

// Bytes held in memory.
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(Bytes data) : data_(std::move(data)) {}
  std::uint64_t size() const override { return data_.size(); }
  void Read(std::uint64_t offset, std::span<std::byte> out) const override;

 private:
  Bytes data_;
};

// Deterministic pseudo-random bytes of any length, the same for the same seed: lets tests and the
// corpus generator write and later check very large values without storing them.
class PatternSource : public ByteSource {
 public:
  PatternSource(std::uint64_t seed, std::uint64_t size) : seed_(seed), size_(size) {}
  std::uint64_t size() const override { return size_; }
  void Read(std::uint64_t offset, std::span<std::byte> out) const override;

 private:
  std::uint64_t seed_;
  std::uint64_t size_;
};

// Reads the whole source (for small values and for tests).
Bytes ReadAll(const ByteSource& source);

}  // namespace pstwriter
