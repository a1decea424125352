// Q-word and quoted-printable codecs. Both body decoders run over the whole input, the last
// character included, and never leave escaped bytes unwritten at its end.
#include "mime/quoted_printable_codec.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "mime/charset_bridge.h"
#include "mime/text_lines.h"

namespace mime {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Receives decoded output: copied characters and the bytes of "=" escapes.
class PlainSink {
 public:
  explicit PlainSink(std::string& out) : out_(out) {}
  void Copied(char c) { out_.push_back(c); }
  void Escaped(unsigned char b) { out_.push_back(static_cast<char>(b)); }
  void Finish() {}

 private:
  std::string& out_;
};

// Collects runs of escaped bytes and converts each whole run to UTF-8 before the next copied
// character. A run is never cut into pieces: a multi-byte character split between two pieces would
// be lost.
class ConvertingSink {
 public:
  ConvertingSink(std::string& out, std::string_view charset) : out_(out) {
    if (!charset.empty() && ToLowerAscii(charset) != "utf-8" && ToLowerAscii(charset) != "ascii")
      converter_ = std::make_unique<CharsetConverter>(charset, "utf-8");
  }
  void Copied(char c) {
    Flush();
    out_.push_back(c);
  }
  void Escaped(unsigned char b) {
    if (!converter_) {
      out_.push_back(static_cast<char>(b));
      return;
    }
    run_.push_back(static_cast<char>(b));
  }
  void Finish() { Flush(); }

 private:
  void Flush() {
    if (run_.empty()) return;
    out_ += converter_->Convert(run_);
    run_.clear();
  }
  std::string& out_;
  std::unique_ptr<CharsetConverter> converter_;
  std::string run_;
};

template <typename Sink>
void WalkQuotedPrintable(std::string_view t, Sink& sink) {
  const size_t n = t.size();
  for (size_t i = 0; i < n; ++i) {
    char c = t[i];
    if (c != '=') {
      sink.Copied(c);
      continue;
    }
    bool soft_break = (i + 1 < n && (t[i + 1] == '\r' || t[i + 1] == '\n')) || i + 2 >= n;
    if (soft_break) {
      i += 2;
    } else if (t[i + 1] == '?' || (i > 0 && t[i - 1] == '?')) {
      // An encoded-word marker loses its "=".
    } else {
      sink.Escaped(ReadHexPair(t[i + 1], t[i + 2]));
      i += 2;
    }
  }
  sink.Finish();
}

}  // namespace

unsigned char ReadHexPair(char high, char low) {
  unsigned int value = 0;
  for (char c : {high, low}) {
    int digit = HexDigit(c);
    if (digit >= 0) value = (value << 4) + static_cast<unsigned>(digit);
  }
  return static_cast<unsigned char>(value);
}

std::string EncodeQ(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    unsigned char b = static_cast<unsigned char>(c);
    if (c == ' ') {
      out.push_back('_');
    } else if (c == '=' || c == '?' || c == '_' || c == '~' || b >= 127) {
      out.push_back('=');
      out.push_back(kHex[b >> 4]);
      out.push_back(kHex[b & 15]);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string DecodeQ(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '_') {
      out.push_back(' ');
    } else if (c != '=') {
      out.push_back(c);
    } else if (i + 2 < text.size()) {
      out.push_back(static_cast<char>(ReadHexPair(text[i + 1], text[i + 2])));
      i += 2;
    } else {
      break;
    }
  }
  return out;
}

size_t DecodeQuotedPrintable(std::string_view text, std::string& out) {
  size_t before = out.size();
  PlainSink sink(out);
  WalkQuotedPrintable(text, sink);
  return out.size() - before;
}

size_t DecodeQuotedPrintableToUtf8(std::string_view text, std::string_view charset,
                                   std::string& out) {
  size_t before = out.size();
  ConvertingSink sink(out, charset);
  WalkQuotedPrintable(text, sink);
  return out.size() - before;
}

namespace {

constexpr size_t kMaxEncodedLine = 76;

// Bytes that stand for themselves in a line; blanks do so except at the line's end.
constexpr std::array<bool, 256> kLiteral = [] {
  std::array<bool, 256> table{};
  for (int b = 33; b <= 126; ++b) table[b] = b != '=';
  return table;
}();
constexpr std::array<bool, 256> kLiteralBeforeEnd = [] {
  std::array<bool, 256> table = kLiteral;
  table[' '] = table['\t'] = true;
  return table;
}();

// The escape of each byte: "=" and two hex digits.
constexpr std::array<std::array<char, 3>, 256> kEscapes = [] {
  std::array<std::array<char, 3>, 256> table{};
  for (int b = 0; b < 256; ++b) table[b] = {'=', kHex[b >> 4], kHex[b & 15]};
  return table;
}();

// The length of the run of bytes at the start of text, at most max, that stand for themselves
// before a line's end; sixteen bytes a step with SSE2.
size_t LiteralRunLength(const char* text, size_t max) {
  size_t n = 0;
#if defined(__SSE2__)
  const __m128i below_printable = _mm_set1_epi8(33);  // signed: bytes from 0x80 are below too
  const __m128i del = _mm_set1_epi8(127), equals = _mm_set1_epi8('=');
  const __m128i space = _mm_set1_epi8(' '), tab = _mm_set1_epi8('\t');
  for (; n + 16 <= max; n += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + n));
    const __m128i blank = _mm_or_si128(_mm_cmpeq_epi8(v, space), _mm_cmpeq_epi8(v, tab));
    const __m128i unprintable = _mm_andnot_si128(blank, _mm_cmplt_epi8(v, below_printable));
    const __m128i escaped = _mm_or_si128(_mm_cmpeq_epi8(v, del), _mm_cmpeq_epi8(v, equals));
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(unprintable, escaped)));
    if (mask != 0) return n + static_cast<size_t>(std::countr_zero(mask));
  }
#endif
  while (n < max && kLiteralBeforeEnd[static_cast<unsigned char>(text[n])]) ++n;
  return n;
}

// One line (without its CR LF) in pieces of at most 76 characters, each but the last ended by a
// soft break. Each piece is built in a fixed buffer and handed to emit(bytes, size).
template <typename Emit>
void EncodeQuotedPrintableLine(std::string_view line, Emit& emit) {
  char out[kMaxEncodedLine];
  size_t used = 0;
  for (size_t i = 0; i < line.size();) {
    // Literal bytes that fit before a soft break is due are copied as a run; the line's last byte
    // and every other byte take the step below.
    const size_t limit = std::min(line.size() - 1, i + (kMaxEncodedLine - 1 - used));
    if (i < limit && kLiteralBeforeEnd[static_cast<unsigned char>(line[i])]) {
      const size_t run = LiteralRunLength(line.data() + i, limit - i);
      std::memcpy(out + used, line.data() + i, run);
      used += run;
      i += run;
      if (i == line.size()) break;
    }
    // So are escaped bytes that fit (text outside ASCII comes as runs of them), three characters
    // each; the line's last byte still takes the step below.
    while (i + 1 < line.size() && used + 3 <= kMaxEncodedLine - 1 &&
           !kLiteralBeforeEnd[static_cast<unsigned char>(line[i])]) {
      std::memcpy(out + used, kEscapes[static_cast<unsigned char>(line[i++])].data(), 3);
      used += 3;
    }
    unsigned char b = static_cast<unsigned char>(line[i]);
    bool literal = i + 1 == line.size() ? kLiteral[b] : kLiteralBeforeEnd[b];
    size_t width = literal ? 1 : 3;
    if (used + width > kMaxEncodedLine - 1) {
      out[used++] = '=';
      emit(out, used);
      used = 0;
    }
    if (literal) {
      out[used] = static_cast<char>(b);
    } else {
      std::memcpy(out + used, kEscapes[b].data(), 3);
    }
    used += width;
    ++i;
  }
  emit(out, used);
}

template <typename Emit>
void EncodeQuotedPrintable(std::string_view data, Emit emit) {
  size_t pos = 0;
  for (size_t brk; (brk = data.find("\r\n", pos)) != std::string_view::npos; pos = brk + 2)
    EncodeQuotedPrintableLine(data.substr(pos, brk - pos), emit);
  if (pos < data.size()) EncodeQuotedPrintableLine(data.substr(pos), emit);
}

}  // namespace

void EncodeQuotedPrintableLines(std::string_view data, LineList& lines) {
  EncodeQuotedPrintable(
      data, [&lines](const char* bytes, size_t size) { lines.emplace_back(bytes, size); });
}

void AppendQuotedPrintable(std::string_view data, std::string& out) {
  out.reserve(out.size() + data.size() + data.size() / 16 + 16);
  EncodeQuotedPrintable(data, [&out](const char* bytes, size_t size) {
    out.append(bytes, size);
    out.append("\r\n", 2);
  });
}

}  // namespace mime
