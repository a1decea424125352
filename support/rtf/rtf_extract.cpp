// The RTF reader: a tokenizer over the bytes and a stack of group states. Text bytes are gathered
// in the RTF's code page and decoded in runs, so that multi-byte code pages decode whole; \uN
// characters go straight to the UTF-8 output between runs.
#include "support/rtf/rtf_extract.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "support/charset/ascii_units.h"
#include "support/charset/utf8_append.h"

namespace rtf {
namespace {

using charset::AppendUtf8;

// Groups whose text is never shown: tables, document properties, pictures, field instructions.
constexpr std::array<std::string_view, 26> kDestinations = {
    "fonttbl",   "colortbl",          "stylesheet", "info",      "pict",         "object",
    "header",    "headerl",           "headerr",    "headerf",   "footer",       "footerl",
    "footerr",   "footerf",           "fldinst",    "themedata", "datastore",    "xmlnstbl",
    "listtable", "listoverridetable", "rsidtbl",    "generator", "latentstyles", "filetbl",
    "revtbl",    "nonshppict"};
constexpr std::size_t kShortestDestination =
    std::ranges::min(kDestinations, {}, [](std::string_view name) { return name.size(); }).size();

// Bytes that end a run of plain text: group and control marks, and what the reader skips.
constexpr std::array<bool, 256> kSpecial = [] {
  std::array<bool, 256> table{};
  for (unsigned char c : {'\\', '{', '}', '\r', '\n', '\0'}) table[c] = true;
  return table;
}();

bool IsSpecial(char c) { return kSpecial[static_cast<unsigned char>(c)]; }

// Where the plain text that goes on at `from` ends: the first special byte, or the end. Sixteen
// bytes a step with SSE2.
std::size_t PlainRunEnd(std::string_view rtf, std::size_t from) {
  std::size_t at = from;
#if defined(__SSE2__)
  const __m128i backslash = _mm_set1_epi8('\\');
  const __m128i open = _mm_set1_epi8('{');
  const __m128i close = _mm_set1_epi8('}');
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  for (; at + 16 <= rtf.size(); at += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rtf.data() + at));
    const __m128i marks =
        _mm_or_si128(_mm_cmpeq_epi8(v, backslash),
                     _mm_or_si128(_mm_cmpeq_epi8(v, open), _mm_cmpeq_epi8(v, close)));
    const __m128i skipped =
        _mm_or_si128(_mm_cmpeq_epi8(v, _mm_setzero_si128()),
                     _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(marks, skipped)));
    if (mask != 0) return at + static_cast<std::size_t>(std::countr_zero(mask));
  }
#endif
  while (at < rtf.size() && !IsSpecial(rtf[at])) ++at;
  return at;
}

constexpr int kMaxDepth = 1024;  // deeper groups share the state of the deepest one kept
constexpr long kLargestParameter = 1L << 20;  // larger parameters count as this

struct Group {
  bool hidden = false;    // a destination: its text is not shown
  bool html_tag = false;  // inside \*\htmltag: the text is HTML
  bool rtf_only = false;  // after \htmlrtf: the text is not HTML
  bool starred = false;   // \* seen: the next word names an optional destination
  int fallback = 1;       // \ucN: characters that stand in after each \uN
};

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The value of each hex digit, -1 for other bytes.
constexpr std::array<std::int8_t, 256> kHexValue = [] {
  std::array<std::int8_t, 256> table{};
  table.fill(-1);
  for (int d = 0; d < 10; ++d) table['0' + d] = static_cast<std::int8_t>(d);
  for (int d = 0; d < 6; ++d) {
    table['a' + d] = table['A' + d] = static_cast<std::int8_t>(10 + d);
  }
  return table;
}();

class Reader {
 public:
  Reader(std::string_view rtf, Take take, CodePageDecoder decode)
      : rtf_(rtf), take_(take), decode_(decode) {
    groups_.push_back(Group{});
  }

  std::string Read() {
    while (pos_ < rtf_.size()) Step();
    FlushBytes();
    if (high_surrogate_) AppendUtf8(out_, 0xFFFD);
    return std::move(out_);
  }

 private:
  Group& Current() { return groups_.back(); }

  void Step() {
    const char c = rtf_[pos_++];
    switch (c) {
      case '{':
        fallback_left_ = 0;
        if (groups_.size() < kMaxDepth) {
          groups_.push_back(Current());
          Current().starred = false;
        } else {
          ++overflow_;
        }
        break;
      case '}':
        fallback_left_ = 0;
        if (overflow_ > 0) {
          --overflow_;
        } else if (groups_.size() > 1) {
          groups_.pop_back();
        }
        break;
      case '\\':
        Control();
        break;
      case '\r':
      case '\n':
      case '\0':
        break;  // line breaks of the source and padding are not text
      default:
        TextRun(c);
    }
  }

  // Plain text up to the next byte with a meaning of its own, taken in one piece.
  void TextRun(char first) {
    if (fallback_left_ > 0) return Byte(static_cast<unsigned char>(first));
    const std::size_t start = pos_ - 1;
    pos_ = PlainRunEnd(rtf_, pos_);
    if (Shown()) bytes_.append(rtf_.data() + start, pos_ - start);
  }

  void Control() {
    if (pos_ >= rtf_.size()) return;
    const char c = rtf_[pos_];
    if (IsLetter(c)) return Word();
    ++pos_;
    switch (c) {
      case '\'':
        return HexEscape();
      case '\\':
      case '{':
      case '}':
        return Byte(static_cast<unsigned char>(c));
      case '*':
        Current().starred = true;
        return;
      case '~':
        return Character(0xA0);
      case '_':
        return Character('-');
      case '\r':
      case '\n':
        return Text("\r\n");
      default:
        return;  // \- (optional hyphen), \| and other symbols show nothing
    }
  }

  // Text outside ASCII comes as runs of \'hh: the escapes that follow this one are read here too.
  void HexEscape() {
    const bool shown = Shown();
    for (int b; (b = HexPairAt(pos_)) >= 0;) {
      pos_ += 2;
      if (fallback_left_ > 0) {
        --fallback_left_;
      } else if (shown) {
        bytes_ += static_cast<char>(b);
      }
      if (!TakeHexEscapeMark()) return;
    }
  }

  // The byte two hex digits at at give, or -1.
  int HexPairAt(std::size_t at) const {
    if (at + 1 >= rtf_.size()) return -1;
    const int high = kHexValue[static_cast<unsigned char>(rtf_[at])];
    const int low = kHexValue[static_cast<unsigned char>(rtf_[at + 1])];
    return (high | low) < 0 ? -1 : high * 16 + low;
  }

  bool TakeHexEscapeMark() {
    if (pos_ + 1 >= rtf_.size() || rtf_[pos_] != '\\' || rtf_[pos_ + 1] != '\'') return false;
    pos_ += 2;
    return true;
  }

  void Word() {
    const std::size_t start = pos_;
    while (pos_ < rtf_.size() && IsLetter(rtf_[pos_])) ++pos_;
    const std::string_view word = rtf_.substr(start, pos_ - start);
    const std::size_t digits_start = pos_;
    const bool negative = pos_ < rtf_.size() && rtf_[pos_] == '-';
    if (negative) ++pos_;
    const std::size_t number_start = pos_;
    long value = 0;
    for (; pos_ < rtf_.size() && IsDigit(rtf_[pos_]); ++pos_) {
      value = std::min(value * 10 + (rtf_[pos_] - '0'), kLargestParameter);
    }
    const std::string_view digits = rtf_.substr(digits_start, pos_ - digits_start);
    const bool has_param = pos_ > number_start;
    const long param = negative ? -value : value;
    if (pos_ < rtf_.size() && rtf_[pos_] == ' ') ++pos_;
    if (Current().starred) {
      Current().starred = false;
      if (take_ == Take::kHtml && word == "htmltag") {
        Current().html_tag = true;
        Current().hidden = false;
      } else {
        Current().hidden = true;
      }
      return;
    }
    Handle(word, digits, has_param, param);
  }

  void Handle(std::string_view word, std::string_view digits, bool has_param, long param) {
    if (word == "u") return Unicode(param);  // the most frequent word in text outside ASCII
    if (word == "par" || word == "line" || word == "row" || word == "sect") return Text("\r\n");
    if (word == "tab" || word == "cell") return Text("\t");
    if (word == "uc") {
      Current().fallback = static_cast<int>(std::clamp(param, 0L, 16L));
      return;
    }
    if (word == "ansicpg") {
      FlushBytes();
      code_page_ = digits;
      return;
    }
    if (word == "htmlrtf") {
      Current().rtf_only = !has_param || param != 0;
      return;
    }
    if (word == "emdash") return Character(0x2014);
    if (word == "endash") return Character(0x2013);
    if (word == "bullet") return Character(0x2022);
    if (word == "lquote") return Character(0x2018);
    if (word == "rquote") return Character(0x2019);
    if (word == "ldblquote") return Character(0x201C);
    if (word == "rdblquote") return Character(0x201D);
    if (word.size() >= kShortestDestination &&
        std::find(kDestinations.begin(), kDestinations.end(), word) != kDestinations.end()) {
      Current().hidden = true;
    }
  }

  bool Shown() const {
    const Group& g = groups_.back();
    if (g.hidden) return false;
    if (take_ == Take::kText) return true;
    return g.html_tag || !g.rtf_only;
  }

  // One byte of text in the code page; it may stand in for the \uN before it.
  void Byte(unsigned char b) {
    if (fallback_left_ > 0) {
      --fallback_left_;
      return;
    }
    if (Shown()) bytes_ += static_cast<char>(b);
  }

  void Text(std::string_view ascii) {
    fallback_left_ = 0;
    if (Shown()) bytes_ += ascii;
  }

  void Character(std::uint32_t cp) {
    if (fallback_left_ > 0) {
      --fallback_left_;
      return;
    }
    if (!Shown()) return;
    FlushBytes();
    AppendUtf8(out_, cp);
  }

  // \uN: a signed 16-bit unit; surrogate pairs come as two words.
  void Unicode(long param) {
    const auto unit = static_cast<std::uint32_t>(param < 0 ? param + 0x10000 : param) & 0xFFFF;
    fallback_left_ = 0;
    if (Shown()) {
      FlushBytes();
      if (unit >= 0xD800 && unit <= 0xDBFF) {
        if (high_surrogate_) AppendUtf8(out_, 0xFFFD);
        high_surrogate_ = unit;
      } else if (unit >= 0xDC00 && unit <= 0xDFFF && high_surrogate_) {
        AppendUtf8(out_, 0x10000 + ((high_surrogate_ - 0xD800) << 10) + (unit - 0xDC00));
        high_surrogate_ = 0;
      } else {
        if (high_surrogate_) AppendUtf8(out_, 0xFFFD);
        high_surrogate_ = 0;
        AppendUtf8(out_, unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit);
      }
    }
    fallback_left_ = Current().fallback;
  }

  void FlushBytes() {
    if (bytes_.empty()) return;
    if (high_surrogate_) {
      AppendUtf8(out_, 0xFFFD);
      high_surrogate_ = 0;
    }
    // ASCII reads alike in every code page the RTF may name; only other bytes need the decoder.
    const bool ascii = charset::AsciiPrefixLength(bytes_) == bytes_.size();
    out_ += ascii ? bytes_ : decode_(bytes_, code_page_);
    bytes_.clear();
  }

  std::string_view rtf_;
  Take take_;
  CodePageDecoder decode_;
  std::size_t pos_ = 0;
  std::vector<Group> groups_;
  int overflow_ = 0;
  int fallback_left_ = 0;
  std::uint32_t high_surrogate_ = 0;
  std::string code_page_;
  std::string bytes_;
  std::string out_;
};

}  // namespace

std::string TakeFromRtf(std::string_view rtf, Take take, CodePageDecoder decode) {
  return Reader(rtf, take, decode).Read();
}

}  // namespace rtf
