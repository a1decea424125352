// Numeric character references for HTML output.
#include "mime/numeric_references.h"

namespace mime {
namespace {

constexpr unsigned kReplacement = 0xFFFD;

// Leading one-bits of b after the first, at most six: the number of continuation bytes.
int ContinuationCount(unsigned char b) {
  int count = 0;
  for (unsigned char mask = 0x40; count < 6 && (b & mask); mask >>= 1) ++count;
  return count;
}

}  // namespace

std::string ToNumericReferences(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    unsigned char lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      out.push_back(static_cast<char>(lead));
      continue;
    }
    int count = ContinuationCount(lead);
    unsigned long long code = count == 0 ? kReplacement : (lead & (0x7Fu >> (count + 1)));
    for (int k = 0; k < count && i + 1 < utf8.size() && utf8[i + 1] != '\0'; ++k) {
      code = (code << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3Fu);
    }
    out += "&#" + std::to_string(code) + ";";
  }
  return out;
}

}  // namespace mime
