// Base64 encoding into body lines and decoding of words and body lines, on whole buffers.
#include "mime/base64_codec.h"

#include <algorithm>
#include <array>

#include "mime/base64_kernels.h"
#include "support/charset/base64_alphabet.h"

namespace mime {
namespace {

constexpr size_t kLineChars = 72;  // kBase64LineBytes encoded, before CR LF
constexpr size_t kBytesPerBlock = kBase64LineBytes * 256;

constexpr const std::array<signed char, 256>& kDecode = charset::kBase64Values;

// Decodes the alphabet characters of text, appending bytes to out.
void DecodeInto(std::string_view text, std::string& out) {
  unsigned int bits = 0;
  int count = 0;
  const char* p = text.data();
  const char* end = p + text.size();
  // Fast path: four valid characters at a time.
  while (end - p >= 4) {
    int a = kDecode[static_cast<unsigned char>(p[0])],
        b = kDecode[static_cast<unsigned char>(p[1])];
    int c = kDecode[static_cast<unsigned char>(p[2])],
        d = kDecode[static_cast<unsigned char>(p[3])];
    if ((a | b | c | d) < 0 || count != 0) break;
    unsigned int v = (static_cast<unsigned>(a) << 18) | (static_cast<unsigned>(b) << 12) |
                     (static_cast<unsigned>(c) << 6) | static_cast<unsigned>(d);
    char bytes[3] = {static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
    out.append(bytes, 3);
    p += 4;
  }
  for (; p < end; ++p) {
    int v = kDecode[static_cast<unsigned char>(*p)];
    if (v < 0) continue;
    bits = (bits << 6) | static_cast<unsigned>(v);
    if (++count == 4) {
      char bytes[3] = {static_cast<char>(bits >> 16), static_cast<char>(bits >> 8),
                       static_cast<char>(bits)};
      out.append(bytes, 3);
      bits = 0;
      count = 0;
    }
  }
  if (count == 2) out.push_back(static_cast<char>(bits >> 4));
  if (count == 3) {
    out.push_back(static_cast<char>(bits >> 10));
    out.push_back(static_cast<char>(bits >> 2));
  }
}

}  // namespace

std::string DecodeBase64Word(std::string_view text) {
  std::string out;
  DecodeInto(text, out);
  size_t nul = out.find('\0');
  if (nul != std::string::npos) out.resize(nul);
  return out;
}

void EncodeBase64Lines(std::string_view data, LineList& lines) {
  if (data.empty()) {
    lines.emplace_back();
    return;
  }
  // The kernel writes each line with its CR LF; the lines are taken without it.
  const Base64Kernel kernel = FastestBase64Kernel();
  std::string text(Base64LineBlockSize(std::min(data.size(), kBytesPerBlock)), '\0');
  for (size_t pos = 0; pos < data.size(); pos += kBytesPerBlock) {
    const std::string_view block = data.substr(pos, kBytesPerBlock);
    const char* end = EncodeBase64LineBlock(reinterpret_cast<const unsigned char*>(block.data()),
                                            block.size(), text.data(), kernel);
    for (const char* line = text.data(); line < end; line += kLineChars + 2)
      lines.emplace_back(line, std::min(kLineChars, static_cast<size_t>(end - line) - 2));
  }
}

size_t DecodeBase64Lines(const LineList& lines, std::string& out) {
  size_t before = out.size();
  size_t estimate = 0;
  for (const std::string& line : lines) estimate += line.size() / 4 * 3 + 2;
  out.reserve(before + estimate);
  for (const std::string& line : lines) {
    std::string_view text(line);
    size_t fill = text.find('=');
    if (fill != std::string_view::npos) text = text.substr(0, fill);
    DecodeInto(text, out);
  }
  return out.size() - before;
}

}  // namespace mime
