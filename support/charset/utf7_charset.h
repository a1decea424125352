// UTF-7 (RFC 2152) over 16-bit units. Decoding combines a surrogate pair within a shifted sequence
// into one character; encoding takes code points up to U+FFFF only. Letters, digits, ' ( ) , - . /
// : ? space, tab, CR and LF are written directly; every other character goes into a shifted
// sequence ("+" and base64, 16 bits a character), and "+" itself is written "+-". A shifted
// sequence is closed (its last bits written and "-" added) before the next direct character, at a
// line break and at the end of a conversion.
#pragma once

#include <cstdint>

#include "support/charset/pl_charset_base.h"

namespace charset {

class TPlUTF7 final : public TPlCharsetWith<TPlUTF7> {
 public:
  std::string_view Aliases() const override {
    return "unicode-1-1-utf-7,utf-7,csUnicode11,UTF7,x-unicode-2-0-utf-7,65000";
  }
  std::string_view Category() const override { return "Unicode"; }
  std::string_view Description() const override { return "Unicode (UTF-7)"; }
  int MaxBytesPerChar() const override { return 8; }
  bool UsesLineHooks() const override { return true; }

  TPlDecoded DecodeOne(const unsigned char* bytes, std::size_t size);
  int EncodeOne(TPlCodePoint cp, char* out);

  void Reset() override;
  int LineBreak(char* out) override { return shifted_out_ ? Close(out) : 0; }
  int Finish(char* out) override { return shifted_out_ ? Close(out) : 0; }

 private:
  // Writes the bits still held and the closing "-".
  int Close(char* out);

  // Decoder: inside a shifted sequence, with bits not yet forming a unit.
  struct DecoderState {
    bool shifted = false;
    std::uint32_t bits = 0;
    int bit_count = 0;
  };
  // Decodes one 16-bit unit (or a skip) at the front of bytes, advancing state.
  static TPlDecoded DecodeUnit(const unsigned char* bytes, std::size_t size, DecoderState& state);

  DecoderState in_;
  // Encoder: inside a shifted sequence, with bits not yet written.
  bool shifted_out_ = false;
  std::uint32_t bits_out_ = 0;
  int bit_count_out_ = 0;
};

}  // namespace charset
