// TPlConverter: converts text from one character set to another by way of Unicode code points.
// Sets are looked up by name in the character-set registry (charset_registry.h); an unknown name
// selects ISO-8859-1 and the empty name UTF-16 (little-endian). Without options a conversion never
// raises: what the source cannot decode, or the destination cannot encode, becomes the
// destination's replacement character ("?"), and conversion goes on. Only an incomplete sequence at
// the very end of the input is dropped.
//
//   charset::TPlConverter converter("windows-1252", "utf-8");
//   std::string utf8 = converter.Convert(text);
#pragma once

#include <cstddef>
#include <istream>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "support/charset/pl_charset.h"

namespace charset {

// Option bits of a conversion.
// Characters that cannot be converted are dropped instead of replaced.
inline constexpr unsigned kPlDropIllegal = 2;
// Characters that cannot be converted raise TPlConvertError("Illegal character"); wins over 2.
inline constexpr unsigned kPlRaiseIllegal = 4;
// Characters that cannot be converted become U+FFFD where the destination can encode it (the
// Unicode forms), instead of the destination's replacement character.
inline constexpr unsigned kPlUnicodeReplacement = 8;

// The conversion error raised under kPlRaiseIllegal.
class TPlConvertError : public std::runtime_error {
 public:
  TPlConvertError() : std::runtime_error("Illegal character") {}
};

class TPlConverter {
 public:
  // Looks both names up (filling the registry on first use); never fails.
  TPlConverter(std::string_view source_name, std::string_view destination_name);
  ~TPlConverter();
  TPlConverter(const TPlConverter&) = delete;
  TPlConverter& operator=(const TPlConverter&) = delete;

  // Every conversion starts from the sets' initial state (default byte order, not shifted) and
  // ends with a stateful destination back in its initial state (a shifted sequence closed).

  // Converts a whole byte string. An empty source gives an empty result.
  std::string Convert(std::string_view source, unsigned options = 0);

  // Converts source from its current position to its end, or until character_limit characters
  // have been decoded (0: no limit; byte-order marks do not count), appending to destination.
  // Writes go out in blocks. When the conversion stops before the end (limit reached, incomplete
  // sequence at the end) and source can seek, source is left just after the last byte converted. No
  // byte-order mark is written.
  void ConvertStream(std::istream& source, std::ostream& destination,
                     std::size_t character_limit = 0, unsigned options = 0);

  TPlCharset& Source() { return *source_; }
  TPlCharset& Destination() { return *destination_; }

 private:
  class Output;
  // Decodes from pending until it is used up (or only an incomplete sequence is left, or the limit
  // is reached) and encodes what it decoded into out. Returns false when the limit was reached.
  bool ConvertAvailable(std::string_view& pending, Output& out, std::size_t& characters_left,
                        unsigned options);
  // Encodes count decoded code points into out.
  void Emit(const TPlCodePoint* cps, std::size_t count, Output& out, unsigned options);
  void EmitOneByOne(const TPlCodePoint* cps, std::size_t count, Output& out, unsigned options);
  // Writes the destination's replacement for a character it cannot take (or drops it, or raises).
  char* Unconvertible(char* at, Output& out, unsigned options);
  void Reserve(std::size_t characters);
  void Start();

  std::unique_ptr<TPlCharset> source_;
  std::unique_ptr<TPlCharset> destination_;
  std::size_t round_characters_ = 0;             // characters per round the buffers hold
  std::unique_ptr<TPlCodePoint[]> code_points_;  // decoded characters of one round
  std::unique_ptr<char[]> encoded_;              // encoded bytes of one round
  bool after_line_break_ = false;
};

}  // namespace charset
