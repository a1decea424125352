// Decoding and encoding of UTF-32, UTF-16 and UTF-8.
#include "support/charset/unicode_charsets.h"

namespace charset {

template class TPlCharsetWith<TPlUTF32Codec>;
template class TPlCharsetWith<TPlUTF16Codec>;
template class TPlCharsetWith<TPlUTF8Codec>;

namespace {

constexpr TPlCodePoint kSwappedByteOrderMark = 0xFFFE;
constexpr TPlCodePoint kSwappedByteOrderMark32 = 0xFFFE0000;
constexpr TPlCodePoint kLastCodePoint = 0x10FFFF;

}  // namespace

// ---- UTF-32 ----

TPlDecoded TPlUTF32Codec::DecodeOne(const unsigned char* bytes, std::size_t size) {
  if (size < 4) return Incomplete();
  const TPlCodePoint unit = big_endian()
                                ? (TPlCodePoint{bytes[0]} << 24 | TPlCodePoint{bytes[1]} << 16 |
                                   TPlCodePoint{bytes[2]} << 8 | bytes[3])
                                : (TPlCodePoint{bytes[3]} << 24 | TPlCodePoint{bytes[2]} << 16 |
                                   TPlCodePoint{bytes[1]} << 8 | bytes[0]);
  if (unit == kPlByteOrderMark) return Skip(4);
  if (unit == kSwappedByteOrderMark32) {
    SwitchByteOrder();
    return Skip(4);
  }
  const bool scalar_value = unit <= kLastCodePoint && !IsPlSurrogate(unit);
  return Character(scalar_value ? unit : kPlUndecodable, 4);
}

int TPlUTF32Codec::EncodeOne(TPlCodePoint cp, char* out) {
  if (cp > kLastCodePoint) return -1;
  for (int i = 0; i < 4; ++i) {
    const int shift = big_endian() ? 24 - 8 * i : 8 * i;
    out[i] = static_cast<char>((cp >> shift) & 0xFF);
  }
  return 4;
}

// ---- UTF-16 ----

unsigned TPlUTF16Codec::Unit(const unsigned char* bytes) const {
  return big_endian() ? (unsigned{bytes[0]} << 8 | bytes[1]) : (unsigned{bytes[1]} << 8 | bytes[0]);
}

void TPlUTF16Codec::PutUnit(unsigned unit, char* out) const {
  const char high = static_cast<char>(unit >> 8);
  const char low = static_cast<char>(unit & 0xFF);
  out[0] = big_endian() ? high : low;
  out[1] = big_endian() ? low : high;
}

TPlDecoded TPlUTF16Codec::DecodeOne(const unsigned char* bytes, std::size_t size) {
  if (size < 2) return Incomplete();
  const unsigned unit = Unit(bytes);
  if (unit == kPlByteOrderMark) return Skip(2);
  if (unit == kSwappedByteOrderMark) {
    SwitchByteOrder();
    return Skip(2);
  }
  if (IsPlLowSurrogate(unit)) return Character(kPlUndecodable, 2);
  if (!IsPlHighSurrogate(unit)) return Character(unit, 2);
  if (size < 4) return Incomplete();
  const unsigned next = Unit(bytes + 2);
  // A high surrogate without its low half is undecodable; the unit after it is read on its own.
  if (!IsPlLowSurrogate(next)) return Character(kPlUndecodable, 2);
  return Character(CombinePlSurrogates(unit, next), 4);
}

int TPlUTF16Codec::EncodeOne(TPlCodePoint cp, char* out) {
  if (cp > kLastCodePoint) return -1;
  if (cp < 0x10000) {
    PutUnit(cp, out);
    return 2;
  }
  const TPlCodePoint offset = cp - 0x10000;
  PutUnit(0xD800 + (offset >> 10), out);
  PutUnit(0xDC00 + (offset & 0x3FF), out + 2);
  return 4;
}

// ---- UTF-8 ----

namespace {

// Sequence length announced by a lead byte; 0 for a byte that cannot start a sequence.
int SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead < 0xC0) return 0;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  if (lead < 0xF8) return 4;
  if (lead < 0xFC) return 5;
  if (lead < 0xFE) return 6;
  return 0;
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The smallest value that needs a sequence of the given length; smaller ones are overlong.
constexpr TPlCodePoint kSmallestOfLength[7] = {0, 0, 0x80, 0x800, 0x10000, 0x200000, 0x4000000};

}  // namespace

TPlDecoded TPlUTF8Codec::DecodeOne(const unsigned char* bytes, std::size_t size) {
  if (size == 0) return Incomplete();
  const unsigned char lead = bytes[0];
  const int length = SequenceLength(lead);
  if (length == 1) return Character(lead, 1);
  if (length == 0) return Character(kPlUndecodable, 1);
  const std::size_t available = size < static_cast<std::size_t>(length) ? size : length;
  for (std::size_t i = 1; i < available; ++i) {
    if (!IsContinuation(bytes[i])) return Character(kPlUndecodable, 1);
  }
  if (available < static_cast<std::size_t>(length)) return Incomplete();
  TPlCodePoint cp = lead & (0x7F >> length);
  for (int i = 1; i < length; ++i) cp = cp << 6 | (bytes[i] & 0x3F);
  if (cp < kSmallestOfLength[length] || IsPlSurrogate(cp)) {
    return Character(kPlUndecodable, length);
  }
  if (cp == kPlByteOrderMark || cp == kSwappedByteOrderMark) return Skip(length);
  return Character(cp, length);
}

int TPlUTF8Codec::EncodeOne(TPlCodePoint cp, char* out) {
  if (cp < 0x80) {
    out[0] = static_cast<char>(cp);
    return 1;
  }
  int length = 2;
  while (length < 6 && cp >= kSmallestOfLength[length + 1]) ++length;
  if (cp >= 0x80000000) return -1;
  for (int i = length - 1; i > 0; --i) {
    out[i] = static_cast<char>(0x80 | (cp & 0x3F));
    cp >>= 6;
  }
  out[0] = static_cast<char>((0xFF00 >> length) | cp);
  return length;
}

TPlDecodedRun TPlUTF8Codec::DecodeRun(std::string_view bytes, std::span<TPlCodePoint> out) {
  const unsigned char* data = Bytes(bytes);
  const std::size_t size = bytes.size();
  TPlDecodedRun run;
  while (run.produced < out.size() && run.consumed < size) {
    if (data[run.consumed] < 0x80) {
      out[run.produced++] = data[run.consumed++];
      continue;
    }
    const TPlDecoded d = DecodeOne(data + run.consumed, size - run.consumed);
    if (d.kind == TPlDecoded::Kind::kIncomplete) break;
    run.consumed += d.length;
    if (d.kind == TPlDecoded::Kind::kCharacter) out[run.produced++] = d.code_point;
  }
  return run;
}

std::size_t TPlUTF8Codec::EncodeRun(std::span<const TPlCodePoint> cps, char* out,
                                    std::size_t& bytes_written) {
  char* at = out;
  std::size_t done = 0;
  for (; done < cps.size(); ++done) {
    const TPlCodePoint cp = cps[done];
    if (cp < 0x80) {
      *at++ = static_cast<char>(cp);
      continue;
    }
    if (cp < 0x800) {
      at[0] = static_cast<char>(0xC0 | cp >> 6);
      at[1] = static_cast<char>(0x80 | (cp & 0x3F));
      at += 2;
      continue;
    }
    const int n = EncodeOne(cp, at);
    if (n < 0) break;
    at += n;
  }
  bytes_written = static_cast<std::size_t>(at - out);
  return done;
}

}  // namespace charset
