// MD5 digests (RFC 1321). TCrMD5 is the engine; THashMd5 is the one-call hasher the model uses to
// turn a Message-Id into a fixed-length key: it hashes at most the first 4096 bytes of its input
// (the bit length is that of the shortened input) and gives the digest as 32 upper-case hex digits.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace hash {

using Md5Digest = std::array<std::uint8_t, 16>;

class TCrMD5 {
 public:
  TCrMD5() { Reset(); }

  // Chaining words to 0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476.
  void Reset();
  // Runs a whole message through the compression function: its 64-byte blocks, then the padding
  // (0x80, zeros to 56 mod 64, the bit length as 64-bit little-endian). No incremental update.
  void Hash(std::string_view message);
  // The chaining words, each least significant byte first.
  Md5Digest Digest() const;

 private:
  void Compress(const unsigned char* block);

  std::array<std::uint32_t, 4> state_{};
};

class THashMd5 {
 public:
  // Longest prefix of the input that Hash takes into account.
  static constexpr std::size_t kMaxHashedBytes = 4096;

  THashMd5() { Reset(); }

  void Reset();
  // Hashes the first kMaxHashedBytes bytes of message at most.
  void Hash(std::string_view message);
  // Copies the chaining words into the digest area.
  void Finish();
  const Md5Digest& Digest() const { return digest_; }
  // The digest bytes in order, two upper-case hexadecimal digits each.
  std::string DigestText() const;

 private:
  TCrMD5 engine_;
  Md5Digest digest_{};
};

// MD5 digest text of a byte string: create, hash, finish, digest text.
std::string Md5Text(std::string_view message);

}  // namespace hash
