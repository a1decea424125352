// Building the single-byte tables from iconv, and the table walk.
#include "support/charset/codepages/single_byte_charset.h"

#include <iconv.h>

#include <algorithm>

namespace charset {

namespace {

// The one code point of byte, or U+FFFD when iconv rejects it or makes more than one of it.
TPlCodePoint DecodeByte(iconv_t cd, unsigned char byte) {
  char in_byte = static_cast<char>(byte);
  char* in = &in_byte;
  std::size_t in_left = 1;
  TPlCodePoint cps[2] = {};
  char* out = reinterpret_cast<char*>(cps);
  std::size_t out_left = sizeof cps;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  const bool converted =
      iconv(cd, &in, &in_left, &out, &out_left) != static_cast<std::size_t>(-1) && in_left == 0;
  // Sets that combine characters hold the last one back until they are flushed.
  iconv(cd, nullptr, nullptr, &out, &out_left);
  const std::size_t produced = (sizeof cps - out_left) / sizeof(TPlCodePoint);
  return converted && produced == 1 ? cps[0] : kPlUndecodable;
}

}  // namespace

std::unique_ptr<TPlSingleByteTable> TPlSingleByteTable::FromIconv(const char* iconv_name) {
  const iconv_t cd = iconv_open(IconvNativeUtf32(), iconv_name);
  if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;
  auto table = std::make_unique<TPlSingleByteTable>();
  for (int byte = 0; byte < 256; ++byte) {
    table->Map(static_cast<unsigned char>(byte), DecodeByte(cd, static_cast<unsigned char>(byte)));
  }
  iconv_close(cd);
  return table;
}

void TPlSingleByteTable::Map(unsigned char byte, TPlCodePoint cp) {
  decode_[byte] = cp;
  if (cp == kPlUndecodable || cp > 0xFFFF) return;
  std::unique_ptr<Page>& page = encode_[cp >> 8];
  if (!page) page = std::make_unique<Page>(Page{});
  // The first byte that decodes to a code point is the one it encodes to.
  if ((*page)[cp & 0xFF] == 0) (*page)[cp & 0xFF] = static_cast<std::int16_t>(byte + 1);
}

TPlDecodedRun TPlSingleByteCharset::DecodeRun(std::string_view bytes, std::span<TPlCodePoint> out) {
  const std::size_t count = std::min(bytes.size(), out.size());
  const unsigned char* data = Bytes(bytes);
  for (std::size_t i = 0; i < count; ++i) out[i] = table_.Decode(data[i]);
  return {count, count};
}

}  // namespace charset
