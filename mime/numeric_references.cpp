// Numeric character references for HTML output.
#include "mime/numeric_references.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "support/charset/ascii_units.h"

namespace mime {
namespace {

constexpr unsigned kReplacement = 0xFFFD;
// "&#", at most 20 digits, ";".
constexpr std::size_t kLongestReference = 24;

// Leading one-bits of b after the first, at most six: the number of continuation bytes.
int ContinuationCount(unsigned char b) {
  int count = 0;
  for (unsigned char mask = 0x40; count < 6 && (b & mask); mask >>= 1) ++count;
  return count;
}

// The references of every code a two-byte sequence can carry (11 bits), made once at compile time:
// Latin, Greek, Cyrillic, Hebrew and Arabic text takes them from here.
struct ShortReference {
  char text[7];  // "&#2047;" at most
  std::uint8_t size;
};
constexpr std::size_t kTwoByteCodes = 0x800;
constexpr std::array<ShortReference, kTwoByteCodes> kShortReferences = [] {
  std::array<ShortReference, kTwoByteCodes> table{};
  for (unsigned code = 0; code < kTwoByteCodes; ++code) {
    char digits[4];
    int count = 0;
    for (unsigned rest = code; count == 0 || rest != 0; rest /= 10) {
      digits[count++] = static_cast<char>('0' + rest % 10);
    }
    ShortReference& entry = table[code];
    entry.text[0] = '&';
    entry.text[1] = '#';
    for (int k = 0; k < count; ++k) entry.text[2 + k] = digits[count - 1 - k];
    entry.text[2 + count] = ';';
    entry.size = static_cast<std::uint8_t>(count + 3);
  }
  return table;
}();

// Writes the reference for the sequence whose lead byte is at i to out (room for 24 bytes); returns
// the number of bytes written and moves i past the sequence. A sequence cut short by the end of the
// text or by a NUL keeps the bits it has.
std::size_t WriteReference(std::string_view utf8, std::size_t& i, char* out) {
  const auto lead = static_cast<unsigned char>(utf8[i]);
  const int count = ContinuationCount(lead);
  if (count == 1 && i + 1 < utf8.size() && utf8[i + 1] != '\0') {
    const unsigned code = (lead & 0x1Fu) << 6 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
    i += 2;
    const ShortReference& reference = kShortReferences[code];
    std::memcpy(out, reference.text, sizeof reference.text);
    return reference.size;
  }
  unsigned long long code = count == 0 ? kReplacement : (lead & (0x7Fu >> (count + 1)));
  for (int k = 0; k < count && i + 1 < utf8.size() && utf8[i + 1] != '\0'; ++k) {
    code = (code << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3Fu);
  }
  ++i;
  out[0] = '&';
  out[1] = '#';
  char* end = std::to_chars(out + 2, out + kLongestReference - 1, code).ptr;
  *end++ = ';';
  return static_cast<std::size_t>(end - out);
}

}  // namespace

// References are gathered in a buffer on the stack and appended a buffer at a time; long ASCII runs
// go to the output directly.
std::string ToNumericReferences(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() + utf8.size() / 8);
  char buffer[1024];
  std::size_t used = 0;
  auto make_room = [&](std::size_t size) {
    if (used + size <= sizeof buffer) return;
    out.append(buffer, used);
    used = 0;
  };
  for (std::size_t i = 0; i < utf8.size();) {
    if (static_cast<unsigned char>(utf8[i]) >= 0x80) {
      make_room(kLongestReference);
      used += WriteReference(utf8, i, buffer + used);
      continue;
    }
    const std::size_t run = charset::AsciiPrefixLength(utf8.substr(i));
    make_room(run);
    if (run > sizeof buffer) {
      out.append(utf8.data() + i, run);
    } else {
      std::memcpy(buffer + used, utf8.data() + i, run);
      used += run;
    }
    i += run;
  }
  out.append(buffer, used);
  return out;
}

}  // namespace mime
