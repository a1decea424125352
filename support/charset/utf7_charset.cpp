// Decoding and encoding of UTF-7.
#include "support/charset/utf7_charset.h"

#include <array>

#include "support/charset/base64_alphabet.h"

namespace charset {

namespace {

using charset::kBase64Values;
constexpr const char* kBase64 = kBase64Alphabet;

bool IsDirect(TPlCodePoint cp) {
  if ((cp >= 'A' && cp <= 'Z') || (cp >= 'a' && cp <= 'z') || (cp >= '0' && cp <= '9')) return true;
  switch (cp) {
    case '\'':
    case '(':
    case ')':
    case ',':
    case '-':
    case '.':
    case '/':
    case ':':
    case '?':
    case ' ':
    case '\t':
    case '\r':
    case '\n':
      return true;
    default:
      return false;
  }
}

}  // namespace

void TPlUTF7::Reset() {
  in_ = DecoderState{};
  shifted_out_ = false;
  bits_out_ = 0;
  bit_count_out_ = 0;
}

// Works on copies of the decoder state and keeps one only when bytes are consumed, so that an
// incomplete sequence consumes nothing.
TPlDecoded TPlUTF7::DecodeOne(const unsigned char* bytes, std::size_t size) {
  DecoderState after_first = in_;
  const TPlDecoded first = DecodeUnit(bytes, size, after_first);
  if (first.kind == TPlDecoded::Kind::kIncomplete) return first;
  const bool high =
      first.kind == TPlDecoded::Kind::kCharacter && IsPlHighSurrogate(first.code_point);
  if (!high) {
    in_ = after_first;
    if (first.kind == TPlDecoded::Kind::kCharacter && IsPlLowSurrogate(first.code_point)) {
      return Character(kPlUndecodable, first.length);
    }
    return first;
  }
  // A high surrogate combines with a low one that follows in the same shifted sequence.
  DecoderState after_second = after_first;
  const TPlDecoded second = DecodeUnit(bytes + first.length, size - first.length, after_second);
  if (second.kind == TPlDecoded::Kind::kIncomplete) return second;
  if (second.kind == TPlDecoded::Kind::kCharacter && IsPlLowSurrogate(second.code_point)) {
    in_ = after_second;
    return Character(CombinePlSurrogates(first.code_point, second.code_point),
                     first.length + second.length);
  }
  in_ = after_first;
  return Character(kPlUndecodable, first.length);
}

TPlDecoded TPlUTF7::DecodeUnit(const unsigned char* bytes, std::size_t size, DecoderState& state) {
  std::size_t at = 0;
  while (state.shifted) {
    if (at == size) return Incomplete();
    const int value = kBase64Values[bytes[at]];
    if (value < 0) {
      // Any other byte ends the sequence; a "-" that ends it is dropped.
      state = DecoderState{};
      if (bytes[at] == '-') return Skip(at + 1);
      break;
    }
    ++at;
    state.bits = (state.bits << 6 | static_cast<std::uint32_t>(value)) & 0xFFFFFF;
    state.bit_count += 6;
    if (state.bit_count >= 16) {
      state.bit_count -= 16;
      return Character((state.bits >> state.bit_count) & 0xFFFF, at);
    }
  }
  if (at == size) return Incomplete();
  const unsigned char byte = bytes[at];
  if (byte != '+') return Character(byte < 0x80 ? byte : kPlUndecodable, at + 1);
  if (at + 1 == size) return Incomplete();
  if (bytes[at + 1] == '-') return Character('+', at + 2);
  state.shifted = true;
  return Skip(at + 1);
}

int TPlUTF7::EncodeOne(TPlCodePoint cp, char* out) {
  if (cp > 0xFFFF) return -1;
  int written = 0;
  if (IsDirect(cp)) {
    if (shifted_out_) written = Close(out);
    out[written++] = static_cast<char>(cp);
    return written;
  }
  if (!shifted_out_) {
    if (cp == '+') {
      out[0] = '+';
      out[1] = '-';
      return 2;
    }
    out[written++] = '+';
    shifted_out_ = true;
  }
  bits_out_ = (bits_out_ << 16 | cp) & 0xFFFFFF;
  bit_count_out_ += 16;
  while (bit_count_out_ >= 6) {
    bit_count_out_ -= 6;
    out[written++] = kBase64[(bits_out_ >> bit_count_out_) & 0x3F];
  }
  return written;
}

int TPlUTF7::Close(char* out) {
  int written = 0;
  if (bit_count_out_ > 0) out[written++] = kBase64[(bits_out_ << (6 - bit_count_out_)) & 0x3F];
  out[written++] = '-';
  shifted_out_ = false;
  bits_out_ = 0;
  bit_count_out_ = 0;
  return written;
}

}  // namespace charset
