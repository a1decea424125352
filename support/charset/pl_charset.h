// The character-set interface: one set converts between its bytes and Unicode code points.
// Every set answers one character at a time (Decode/Encode) and, for speed, whole runs at once
// (DecodeRun/EncodeRun); the converter uses the run forms and never calls a set once per byte.
// The class is header-only so that character-set libraries (*.chl) can derive from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace charset {

// A Unicode code point, 32 bits unsigned (UTF-8 and UTF-32 can carry values above U+10FFFF).
using TPlCodePoint = std::uint32_t;

// What a source set decodes from a byte sequence it cannot decode; the converter writes it as the
// destination's replacement character.
inline constexpr TPlCodePoint kPlUndecodable = 0xFFFD;
// The usual replacement character of a destination: "?".
inline constexpr TPlCodePoint kPlQuestionMark = 63;
// UTF-16 surrogate halves. No decoder yields one as a character: a lone half is undecodable.
constexpr bool IsPlHighSurrogate(TPlCodePoint cp) { return cp >= 0xD800 && cp <= 0xDBFF; }
constexpr bool IsPlLowSurrogate(TPlCodePoint cp) { return cp >= 0xDC00 && cp <= 0xDFFF; }
constexpr bool IsPlSurrogate(TPlCodePoint cp) { return cp >= 0xD800 && cp <= 0xDFFF; }
constexpr TPlCodePoint CombinePlSurrogates(TPlCodePoint high, TPlCodePoint low) {
  return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

// Room that a caller of the single-character operations must give for the bytes of one call.
inline constexpr int kPlMaxBytesPerCall = 16;

// Result of decoding one character.
struct TPlDecoded {
  enum class Kind {
    kCharacter,   // code_point holds the character (U+FFFD for an undecodable sequence)
    kSkip,        // a byte-order mark or a shift sequence: length bytes consumed, no character
    kIncomplete,  // the bytes end inside a sequence: nothing consumed, length is 0
  };
  Kind kind = Kind::kIncomplete;
  TPlCodePoint code_point = 0;
  std::size_t length = 0;
};

// Result of decoding a run.
struct TPlDecodedRun {
  std::size_t consumed = 0;  // bytes consumed, skip markers included
  std::size_t produced = 0;  // code points written
};

class TPlCharset {
 public:
  virtual ~TPlCharset() = default;

  // Comma-separated aliases, the first being the set's name; category and description are
  // display texts.
  virtual std::string_view Aliases() const = 0;
  virtual std::string_view Category() const = 0;
  virtual std::string_view Description() const = 0;
  // Code point written in place of a character this set cannot encode.
  virtual TPlCodePoint ReplacementChar() const { return kPlQuestionMark; }
  // Upper bound of the bytes that Encode, LineBreak, Text, Finish or WritePreamble write in one
  // call (at most kPlMaxBytesPerCall).
  virtual int MaxBytesPerChar() const = 0;
  // True when the set is stateful and acts on the line-break and text hooks; the converter then
  // calls them and encodes one character at a time.
  virtual bool UsesLineHooks() const { return false; }

  // Decodes one character from the front of bytes.
  virtual TPlDecoded Decode(std::string_view bytes) = 0;
  // Encodes cp at out (room for MaxBytesPerChar() bytes): the number of bytes written, or a
  // negative value when the set cannot represent cp (nothing written).
  virtual int Encode(TPlCodePoint cp, char* out) = 0;

  // Decodes characters from the front of bytes into out until out is full, the bytes are used up or
  // only an incomplete sequence is left. Skip markers are consumed and produce nothing.
  virtual TPlDecodedRun DecodeRun(std::string_view bytes, std::span<TPlCodePoint> out) = 0;
  // Encodes code points from the front of cps at out (room for cps.size() * MaxBytesPerChar())
  // until one cannot be encoded. Returns the number of code points encoded; bytes_written receives
  // the bytes written.
  virtual std::size_t EncodeRun(std::span<const TPlCodePoint> cps, char* out,
                                std::size_t& bytes_written) = 0;

  // Byte-order mark of the Unicode forms; nothing for the others. Returns the bytes written.
  virtual int WritePreamble(char* out) {
    (void)out;
    return 0;
  }
  // Back to the state of a fresh instance (byte order, shift state).
  virtual void Reset() {}
  // Hooks of stateful encodings: a run of line breaks starts, text starts again after one, the
  // conversion ends. Each returns the bytes written at out.
  virtual int LineBreak(char* out) {
    (void)out;
    return 0;
  }
  virtual int Text(char* out) {
    (void)out;
    return 0;
  }
  virtual int Finish(char* out) {
    (void)out;
    return 0;
  }
};

}  // namespace charset
