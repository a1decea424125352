// RFC 1321 MD5 over whole messages; blocks are read straight from the input, only the tail and the
// padding are copied.
#include "support/hash/md5.h"

#include <bit>
#include <cstring>

namespace hash {
namespace {

constexpr std::array<std::uint32_t, 64> kSineConstants = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

// Left-rotation amounts of the four rounds, four per round.
constexpr int kShifts[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

constexpr std::size_t kBlockSize = 64;
constexpr std::size_t kLengthOffset = 56;  // where the 64-bit bit length starts in the last block

std::uint32_t LoadLittleEndian(const unsigned char* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

}  // namespace

void TCrMD5::Reset() { state_ = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476}; }

void TCrMD5::Compress(const unsigned char* block) {
  std::uint32_t x[16];
  for (int i = 0; i < 16; ++i) x[i] = LoadLittleEndian(block + 4 * i);
  std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
  // One step: a = b + ((a + f + K[i] + x[word]) <<< shift), then the words turn.
  const auto step = [&](std::uint32_t f, int i, int word) {
    const std::uint32_t sum = a + f + kSineConstants[i] + x[word];
    const std::uint32_t next = b + std::rotl(sum, kShifts[i / 16][i % 4]);
    a = d;
    d = c;
    c = b;
    b = next;
  };
  // The four rounds as separate loops, so that each loop's function is fixed.
  for (int i = 0; i < 16; ++i) step((b & c) | (~b & d), i, i);
  for (int i = 16; i < 32; ++i) step((d & b) | (~d & c), i, (5 * i + 1) % 16);
  for (int i = 32; i < 48; ++i) step(b ^ c ^ d, i, (3 * i + 5) % 16);
  for (int i = 48; i < 64; ++i) step(c ^ (b | ~d), i, (7 * i) % 16);
  state_[0] += a;
  state_[1] += b;
  state_[2] += c;
  state_[3] += d;
}

void TCrMD5::Hash(std::string_view message) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(message.data());
  const std::size_t whole = message.size() - message.size() % kBlockSize;
  for (std::size_t offset = 0; offset < whole; offset += kBlockSize) Compress(bytes + offset);

  // The tail, the 0x80 byte and the length fill one block, or two when the tail is 56 bytes or
  // more.
  unsigned char last[2 * kBlockSize] = {};
  const std::size_t tail = message.size() - whole;
  if (tail != 0) std::memcpy(last, bytes + whole, tail);
  last[tail] = 0x80;
  const std::size_t blocks = tail < kLengthOffset ? 1 : 2;
  std::uint64_t bit_length = static_cast<std::uint64_t>(message.size()) * 8;
  for (std::size_t i = 0; i < 8; ++i, bit_length >>= 8) {
    last[blocks * kBlockSize - 8 + i] = static_cast<unsigned char>(bit_length);
  }
  for (std::size_t i = 0; i < blocks; ++i) Compress(last + i * kBlockSize);
}

Md5Digest TCrMD5::Digest() const {
  Md5Digest digest;
  for (std::size_t word = 0; word < 4; ++word) {
    for (std::size_t byte = 0; byte < 4; ++byte) {
      digest[word * 4 + byte] = static_cast<std::uint8_t>(state_[word] >> (8 * byte));
    }
  }
  return digest;
}

void THashMd5::Reset() {
  engine_.Reset();
  digest_ = {};
}

void THashMd5::Hash(std::string_view message) { engine_.Hash(message.substr(0, kMaxHashedBytes)); }

void THashMd5::Finish() { digest_ = engine_.Digest(); }

std::string THashMd5::DigestText() const {
  static constexpr char kHexDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(2 * digest_.size());
  for (const std::uint8_t byte : digest_) {
    text += kHexDigits[byte >> 4];
    text += kHexDigits[byte & 0x0F];
  }
  return text;
}

std::string Md5Text(std::string_view message) {
  THashMd5 md5;
  md5.Hash(message);
  md5.Finish();
  return md5.DigestText();
}

}  // namespace hash
