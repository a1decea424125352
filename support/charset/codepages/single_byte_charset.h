// Table-driven single-byte code pages. The tables are read once from iconv, byte by byte, so
// conversion itself is a table look-up per character; a byte the code page leaves undefined
// decodes as U+FFFD.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "support/charset/codepages/code_page_info.h"
#include "support/charset/pl_charset_base.h"

namespace charset {

class TPlSingleByteTable {
 public:
  // nullptr when iconv does not know the code page.
  static std::unique_ptr<TPlSingleByteTable> FromIconv(const char* iconv_name);

  TPlCodePoint Decode(unsigned char byte) const { return decode_[byte]; }
  // The byte of cp, or -1 when the code page has none.
  int Encode(TPlCodePoint cp) const {
    if (cp > 0xFFFF) return -1;
    const Page* page = encode_[cp >> 8].get();
    return page ? (*page)[cp & 0xFF] - 1 : -1;
  }

 private:
  // Byte + 1 for each low byte of a code point; 0 where there is none.
  using Page = std::array<std::int16_t, 256>;
  void Map(unsigned char byte, TPlCodePoint cp);

  std::array<TPlCodePoint, 256> decode_{};
  std::array<std::unique_ptr<Page>, 256> encode_;
};

class TPlSingleByteCharset final : public TPlCharsetWith<TPlSingleByteCharset> {
 public:
  TPlSingleByteCharset(const TPlCodePageInfo& info, const TPlSingleByteTable& table)
      : info_(info), table_(table) {}

  std::string_view Aliases() const override { return info_.aliases; }
  std::string_view Category() const override { return info_.category; }
  std::string_view Description() const override { return info_.description; }
  int MaxBytesPerChar() const override { return 1; }

  TPlDecoded DecodeOne(const unsigned char* bytes, std::size_t size) {
    if (size == 0) return Incomplete();
    return Character(table_.Decode(bytes[0]), 1);
  }
  int EncodeOne(TPlCodePoint cp, char* out) {
    const int byte = table_.Encode(cp);
    if (byte < 0) return -1;
    *out = static_cast<char>(byte);
    return 1;
  }

  // Every byte is one character: a straight table walk.
  TPlDecodedRun DecodeRun(std::string_view bytes, std::span<TPlCodePoint> out) override;

 private:
  const TPlCodePageInfo& info_;
  const TPlSingleByteTable& table_;
};

}  // namespace charset
