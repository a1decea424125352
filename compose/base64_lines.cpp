// Base64 lines, encoded a large block at a time.
#include "compose/base64_lines.h"

#include <algorithm>
#include <vector>

namespace compose {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::size_t kBytesPerLine = 54;       // 72 characters
constexpr std::size_t kLinesPerBlock = 1024;    // source bytes read per block: 54 KiB

// Fills buffer from source as far as it goes; fewer bytes only at the end of the data.
std::size_t Fill(ByteSource& source, char* buffer, std::size_t size) {
  std::size_t got = 0;
  while (got < size) {
    std::size_t n = source.Read(buffer + got, size - got);
    if (n == 0) break;
    got += n;
  }
  return got;
}

// Encodes bytes as one line (at most 54 bytes), padding a short final group, and adds CR LF.
char* EncodeLine(const unsigned char* in, std::size_t size, char* out) {
  std::size_t k = 0;
  for (; k + 3 <= size; k += 3) {
    const unsigned v = (in[k] << 16) | (in[k + 1] << 8) | in[k + 2];
    *out++ = kAlphabet[v >> 18];
    *out++ = kAlphabet[(v >> 12) & 63];
    *out++ = kAlphabet[(v >> 6) & 63];
    *out++ = kAlphabet[v & 63];
  }
  if (k < size) {
    const unsigned second = k + 1 < size ? in[k + 1] : 0;
    const unsigned v = (in[k] << 16) | (second << 8);
    *out++ = kAlphabet[v >> 18];
    *out++ = kAlphabet[(v >> 12) & 63];
    *out++ = k + 1 < size ? kAlphabet[(v >> 6) & 63] : '=';
    *out++ = '=';
  }
  *out++ = '\r';
  *out++ = '\n';
  return out;
}

}  // namespace

std::uint64_t EncodeBase64Lines(ByteSource& source, std::string& out, std::uint64_t count) {
  std::vector<char> block(kBytesPerLine * kLinesPerBlock);
  std::uint64_t encoded = 0;
  for (;;) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), count - encoded));
    const std::size_t got = want == 0 ? 0 : Fill(source, block.data(), want);
    const std::size_t lines = (got + kBytesPerLine - 1) / kBytesPerLine;
    const std::size_t start = out.size();
    out.resize(start + lines * 74);
    char* at = out.data() + start;
    const auto* in = reinterpret_cast<const unsigned char*>(block.data());
    for (std::size_t done = 0; done < got; done += kBytesPerLine) {
      at = EncodeLine(in + done, std::min(kBytesPerLine, got - done), at);
    }
    out.resize(static_cast<std::size_t>(at - out.data()));
    encoded += got;
    if (got < block.size() || got % kBytesPerLine != 0 || encoded == count) {
      // The data ended: a final line that was full still needs nothing more, but no data at all
      // gives a line of its own.
      if (encoded == 0) out += "\r\n";
      return encoded;
    }
  }
}

}  // namespace compose
