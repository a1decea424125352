// The built-in Unicode forms with a fixed unit: UTF-32 and UTF-16 in either byte order, and UTF-8.
// A byte-order mark in the input sets the byte order of the rest of it and produces nothing; a
// sequence that cannot be decoded (a lone surrogate, a UTF-32 unit above U+10FFFF, a malformed
// UTF-8 sequence) decodes as U+FFFD.
#pragma once

#include "support/charset/pl_charset_base.h"

namespace charset {

inline constexpr TPlCodePoint kPlByteOrderMark = 0xFEFF;

// Byte order of the UTF-32 and UTF-16 forms: the set's own until a byte-order mark switches it.
template <class Codec>
class TPlByteOrderedCodec : public TPlCharsetWith<Codec> {
 public:
  int WritePreamble(char* out) override {
    return static_cast<Codec*>(this)->EncodeOne(kPlByteOrderMark, out);
  }
  void Reset() override { big_endian_ = default_big_endian_; }
  // A UTF-32 unit, or a UTF-16 surrogate pair.
  int MaxBytesPerChar() const override { return 4; }

 protected:
  explicit TPlByteOrderedCodec(bool big_endian)
      : default_big_endian_(big_endian), big_endian_(big_endian) {}
  bool big_endian() const { return big_endian_; }
  void SwitchByteOrder() { big_endian_ = !big_endian_; }

 private:
  const bool default_big_endian_;
  bool big_endian_;
};

class TPlUTF32Codec : public TPlByteOrderedCodec<TPlUTF32Codec> {
 public:
  TPlDecoded DecodeOne(const unsigned char* bytes, std::size_t size);
  int EncodeOne(TPlCodePoint cp, char* out);

 protected:
  using TPlByteOrderedCodec::TPlByteOrderedCodec;
};
extern template class TPlCharsetWith<TPlUTF32Codec>;

class TPlUTF32 final : public TPlUTF32Codec {
 public:
  TPlUTF32() : TPlUTF32Codec(false) {}
  std::string_view Aliases() const override { return "utf-32,utf-32LE,utf32"; }
  std::string_view Category() const override { return "Unicode"; }
  std::string_view Description() const override { return "Unicode (UTF-32)"; }
};

class TPlUTF32BE final : public TPlUTF32Codec {
 public:
  TPlUTF32BE() : TPlUTF32Codec(true) {}
  std::string_view Aliases() const override { return "utf-32BE,utf32BE"; }
  std::string_view Category() const override { return "Unicode"; }
  std::string_view Description() const override { return "Unicode (UTF-32 Big Endian)"; }
};

class TPlUTF16Codec : public TPlByteOrderedCodec<TPlUTF16Codec> {
 public:
  TPlDecoded DecodeOne(const unsigned char* bytes, std::size_t size);
  int EncodeOne(TPlCodePoint cp, char* out);

 protected:
  using TPlByteOrderedCodec::TPlByteOrderedCodec;

 private:
  unsigned Unit(const unsigned char* bytes) const;
  void PutUnit(unsigned unit, char* out) const;
};
extern template class TPlCharsetWith<TPlUTF16Codec>;

class TPlUTF16 final : public TPlUTF16Codec {
 public:
  TPlUTF16() : TPlUTF16Codec(false) {}
  // The empty alias between the first two registers the empty name for UTF-16.
  std::string_view Aliases() const override {
    return "utf-16,,utf-16LE,unicode,iso-10646-utf-16,utf16,1200";
  }
  std::string_view Category() const override { return "Unicode"; }
  std::string_view Description() const override { return "Unicode (UTF-16)"; }
};

class TPlUTF16BE final : public TPlUTF16Codec {
 public:
  TPlUTF16BE() : TPlUTF16Codec(true) {}
  std::string_view Aliases() const override { return "utf-16BE,unicodeFFFE,1201"; }
  std::string_view Category() const override { return "Unicode"; }
  std::string_view Description() const override { return "Unicode (UTF-16 Big Endian)"; }
};

// UTF-8 with sequences of up to 6 bytes (31-bit values). A stray continuation byte, a lead byte
// without enough continuation bytes, an overlong form, an encoded surrogate and the bytes FE and FF
// each decode as U+FFFD.
class TPlUTF8Codec : public TPlCharsetWith<TPlUTF8Codec> {
 public:
  TPlDecoded DecodeOne(const unsigned char* bytes, std::size_t size);
  int EncodeOne(TPlCodePoint cp, char* out);
  int MaxBytesPerChar() const override { return 6; }
  int WritePreamble(char* out) override { return EncodeOne(kPlByteOrderMark, out); }
  // Copies ASCII stretches without decoding them one by one.
  TPlDecodedRun DecodeRun(std::string_view bytes, std::span<TPlCodePoint> out) override;
  std::size_t EncodeRun(std::span<const TPlCodePoint> cps, char* out,
                        std::size_t& bytes_written) override;
};
extern template class TPlCharsetWith<TPlUTF8Codec>;

class TPlUTF8 final : public TPlUTF8Codec {
 public:
  std::string_view Aliases() const override {
    return "utf-8,iso-10646-utf-8,utf8,unicode-1-1-utf-8,unicode-2-0-utf-8,x-unicode-2-0-utf-8,"
           "65001";
  }
  std::string_view Category() const override { return "Unicode"; }
  std::string_view Description() const override { return "Unicode (UTF-8)"; }
};

}  // namespace charset
