// The built-in single-byte sets: US-ASCII (7 bit) and ISO-8859-1 (every byte is its own code
// point).
#pragma once

#include "support/charset/pl_charset_base.h"

namespace charset {

// A byte above 127 decodes as U+FFFD; a code point above 127 cannot be encoded.
class TPlASCII final : public TPlCharsetWith<TPlASCII> {
 public:
  std::string_view Aliases() const override {
    return "us-ascii,ansi_x3.4-1968,ansi_x3.4-1986,iso_646.irv:1991,ascii,iso646-us,us,ibm367,"
           "cp367,csascii,20127";
  }
  std::string_view Category() const override { return "United States"; }
  std::string_view Description() const override { return "US-ASCII (7 bit)"; }
  int MaxBytesPerChar() const override { return 1; }

  TPlDecoded DecodeOne(const unsigned char* bytes, std::size_t size) {
    if (size == 0) return Incomplete();
    return Character(bytes[0] < 0x80 ? bytes[0] : kPlUndecodable, 1);
  }
  int EncodeOne(TPlCodePoint cp, char* out) {
    if (cp > 0x7F) return -1;
    *out = static_cast<char>(cp);
    return 1;
  }
};

class TPlISO_8859_1 final : public TPlCharsetWith<TPlISO_8859_1> {
 public:
  std::string_view Aliases() const override {
    return "iso-8859-1,cp819,ibm819,iso_8859-1,iso_8859-1:1987,iso8859-1,iso-ir-100,iso-ir-6,"
           "latin1,l1,csisolatin1,x-ansi,28591";
  }
  std::string_view Category() const override { return "Western European"; }
  std::string_view Description() const override { return "Western European (ISO-8859-1)"; }
  int MaxBytesPerChar() const override { return 1; }

  TPlDecoded DecodeOne(const unsigned char* bytes, std::size_t size) {
    if (size == 0) return Incomplete();
    return Character(bytes[0], 1);
  }
  int EncodeOne(TPlCodePoint cp, char* out) {
    if (cp > 0xFF) return -1;
    *out = static_cast<char>(cp);
    return 1;
  }
};

}  // namespace charset
