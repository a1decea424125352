// iconv over MultiByteToWideChar and WideCharToMultiByte, one character at a time so that the
// C library's error contract holds: nothing undefined is passed through as a guess.
#include <windows.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "platform/os/windows_iconv/iconv.h"

namespace {

// Encodings that do not go through a code page: their code units are copied. ISO-2022-JP is
// stateful, which the system's one-character-at-a-time calls cannot follow (and not every system
// has its code page): its shifts are ours, its two-byte characters EUC-JP's with the high bits
// cleared. UTF-7, stateful too, is read (not written) by our own decoder.
enum class Form { kCodePage, kUtf16Le, kUtf32Le, kUtf32Be, kIso2022Jp, kUtf7 };

// The character sets ISO-2022-JP shifts between.
enum Shift { kAscii, kJisRoman, kJis0208 };

struct Side {
  Form form = Form::kCodePage;
  UINT code_page = 0;
  std::size_t longest = 1;  // the longest character of the code page, in bytes
  // Single-byte code pages: each byte's code point, kUndefined where the code page has none.
  std::array<char32_t, 256> bytes{};
  Shift shift = kAscii;  // ISO-2022-JP: the set in force
  // UTF-7: inside a base64 run, its bits not yet used, and a high surrogate waiting for its pair.
  bool base64 = false;
  std::uint32_t bits = 0;
  int bit_count = 0;
  char16_t high_surrogate = 0;
};

constexpr UINT kEucJpCodePage = 20932;

constexpr char32_t kUndefined = 0xFFFFFFFF;

struct Descriptor {
  Side from, to;
};

std::string Upper(const char* name) {
  std::string text(name ? name : "");
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return text;
}

bool Named(const std::string& name, Side& side) {
  struct Fixed {
    const char* name;
    Form form;
    UINT code_page;
  };
  static constexpr Fixed kFixed[] = {
      {"UTF-8", Form::kCodePage, CP_UTF8},   {"UTF-16LE", Form::kUtf16Le, 0},
      {"UTF-32LE", Form::kUtf32Le, 0},       {"UTF-32BE", Form::kUtf32Be, 0},
      {"KOI8-R", Form::kCodePage, 20866},    {"KOI8-U", Form::kCodePage, 21866},
      {"EUC-JP", Form::kCodePage, 20932},    {"ISO-2022-JP", Form::kIso2022Jp, kEucJpCodePage},
      {"GB18030", Form::kCodePage, 54936},   {"UTF-7", Form::kUtf7, 0},
      {"ISO-8859-11", Form::kCodePage, 874},
  };
  for (const Fixed& fixed : kFixed) {
    if (name == fixed.name) {
      // A code page the system lacks fails here, not on every character.
      if (fixed.code_page && fixed.code_page != CP_UTF8 && !IsValidCodePage(fixed.code_page)) {
        return false;
      }
      side.form = fixed.form;
      side.code_page = fixed.code_page;
      return true;
    }
  }
  auto number_after = [&](const char* prefix) -> UINT {
    const std::size_t length = std::strlen(prefix);
    if (name.compare(0, length, prefix) != 0 || name.size() == length) return 0;
    UINT value = 0;
    for (std::size_t i = length; i < name.size(); ++i) {
      if (name[i] < '0' || name[i] > '9') return 0;
      value = value * 10 + static_cast<UINT>(name[i] - '0');
    }
    return value;
  };
  UINT code_page = number_after("CP");
  if (!code_page) code_page = number_after("WINDOWS-");
  if (const UINT part = number_after("ISO-8859-")) code_page = 28590 + part;
  if (!code_page || !IsValidCodePage(code_page)) return false;
  side.form = Form::kCodePage;
  side.code_page = code_page;
  return true;
}

// Stateful code pages refuse MB_ERR_INVALID_CHARS; they and GB18030 refuse the default-character
// query, which GB18030 needs none of: it encodes every code point.
bool TakesErrorFlags(UINT code_page) {
  return code_page < 50000 || code_page == CP_UTF8 || code_page == 54936;
}
bool TakesDefaultQuery(UINT code_page) { return code_page < 50000; }

// The Windows code pages give their undefined bytes the C1 control of the same number; those bytes
// are no characters of the code page.
bool UndefinedAsC1(UINT code_page) {
  return code_page == 874 || (code_page >= 1250 && code_page <= 1258);
}

// Learns the code page's longest character and, for a single-byte one, every byte's code point.
void Prepare(Side& side) {
  if (side.form != Form::kCodePage) return;
  CPINFO info{};
  side.longest = GetCPInfo(side.code_page, &info) ? info.MaxCharSize : 4;
  if (side.longest != 1) return;
  for (int b = 0; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    wchar_t wide[2];
    const DWORD flags = TakesErrorFlags(side.code_page) ? MB_ERR_INVALID_CHARS : 0;
    const int units = MultiByteToWideChar(side.code_page, flags, &byte, 1, wide, 2);
    const bool c1 = units == 1 && b >= 0x80 && wide[0] >= 0x80 && wide[0] <= 0x9F;
    side.bytes[static_cast<std::size_t>(b)] =
        units != 1 || (c1 && UndefinedAsC1(side.code_page)) ? kUndefined : wide[0];
  }
}

// kShift: a shift sequence was read, which stands for no character.
enum class Step { kDone, kShift, kIllegal, kIncomplete };

// One UTF-8 sequence, strictly: no overlong forms, surrogates or values past U+10FFFF.

Step DecodeUtf8(const unsigned char* in, std::size_t left, char32_t& cp, std::size_t& used) {
  const unsigned char b = in[0];
  const std::size_t length = b < 0x80   ? 1
                             : b < 0xC2 ? 0
                             : b < 0xE0 ? 2
                             : b < 0xF0 ? 3
                             : b < 0xF5 ? 4
                                        : 0;
  if (length == 0) return Step::kIllegal;
  cp = length == 1 ? b : b & (0xFF >> (length + 1));
  for (std::size_t i = 1; i < length; ++i) {
    if (i >= left) return Step::kIncomplete;
    if ((in[i] & 0xC0) != 0x80) return Step::kIllegal;
    cp = (cp << 6) | (in[i] & 0x3F);
  }
  const bool overlong = (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000);
  if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return Step::kIllegal;
  used = length;
  return Step::kDone;
}

// ISO-2022-JP: the shift sequences ESC ( B, ESC ( J, ESC $ @ and ESC $ B; controls pass in every
// set, as the C library has it.
Step DecodeIso2022Jp(Side& side, const unsigned char* in, std::size_t left, char32_t& cp,
                     std::size_t& used) {
  const unsigned char b = in[0];
  if (b == 0x1B) {
    if (left >= 2 && in[1] != '(' && in[1] != '$') return Step::kIllegal;
    if (left < 3) return Step::kIncomplete;
    const struct {
      unsigned char first, second;
      Shift shift;
    } kSequences[] = {
        {'(', 'B', kAscii}, {'(', 'J', kJisRoman}, {'$', '@', kJis0208}, {'$', 'B', kJis0208}};
    for (const auto& sequence : kSequences) {
      if (in[1] == sequence.first && in[2] == sequence.second) {
        side.shift = sequence.shift;
        used = 3;
        return Step::kShift;
      }
    }
    return Step::kIllegal;
  }
  if (b >= 0x80) return Step::kIllegal;
  used = 1;
  if (side.shift == kAscii || b < 0x21 || b == 0x7F) {
    cp = b;
    return Step::kDone;
  }
  if (side.shift == kJisRoman) {
    cp = b == 0x5C ? 0xA5 : b == 0x7E ? 0x203E : b;
    return Step::kDone;
  }
  if (left < 2) return Step::kIncomplete;
  if (in[1] < 0x21 || in[1] > 0x7E) return Step::kIllegal;
  const char euc[2] = {static_cast<char>(b | 0x80), static_cast<char>(in[1] | 0x80)};
  wchar_t wide[2];
  if (MultiByteToWideChar(kEucJpCodePage, MB_ERR_INVALID_CHARS, euc, 2, wide, 2) != 1) {
    return Step::kIllegal;
  }
  cp = wide[0];
  used = 2;
  return Step::kDone;
}

int Base64Value(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  return c == '+' ? 62 : c == '/' ? 63 : -1;
}

// A UTF-16 unit out of a base64 run: a character, or half of one.
Step Utf16Unit(Side& side, char16_t unit, char32_t& cp) {
  if (unit >= 0xD800 && unit <= 0xDBFF) {
    side.high_surrogate = unit;
    return Step::kShift;
  }
  const char16_t high = std::exchange(side.high_surrogate, 0);
  if (unit >= 0xDC00 && unit <= 0xDFFF) {
    if (!high) return Step::kIllegal;
    cp = 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) + (unit - 0xDC00);
    return Step::kDone;
  }
  cp = unit;
  return high ? Step::kIllegal : Step::kDone;
}

// UTF-7, one byte at a time: "+" opens a base64 run of UTF-16 units, "-" or any other character
// ends it, "+-" is "+".
Step DecodeUtf7(Side& side, const unsigned char* in, std::size_t left, char32_t& cp,
                std::size_t& used) {
  const unsigned char b = in[0];
  used = 1;
  if (side.base64) {
    const int value = Base64Value(b);
    if (value < 0) {
      side.base64 = false;
      side.bits = 0;
      side.bit_count = 0;
      if (b == '-') return Step::kShift;
      return DecodeUtf7(side, in, left, cp, used);
    }
    side.bits = (side.bits << 6) | static_cast<std::uint32_t>(value);
    side.bit_count += 6;
    if (side.bit_count < 16) return Step::kShift;
    side.bit_count -= 16;
    const auto unit = static_cast<char16_t>(side.bits >> side.bit_count);
    side.bits &= (1u << side.bit_count) - 1;
    return Utf16Unit(side, unit, cp);
  }
  if (b >= 0x80) return Step::kIllegal;
  if (b != '+') {
    cp = b;
    return Step::kDone;
  }
  if (left < 2) return Step::kIncomplete;
  if (in[1] == '-') {
    cp = '+';
    used = 2;
    return Step::kDone;
  }
  side.base64 = true;
  return Step::kShift;
}

// Reads one code point from in; sets used to its length.
Step Decode(Side& side, const unsigned char* in, std::size_t left, char32_t& cp,
            std::size_t& used) {
  switch (side.form) {
    case Form::kUtf32Le:
    case Form::kUtf32Be: {
      if (left < 4) return Step::kIncomplete;
      cp = side.form == Form::kUtf32Le
               ? in[0] | in[1] << 8 | in[2] << 16 | static_cast<char32_t>(in[3]) << 24
               : in[3] | in[2] << 8 | in[1] << 16 | static_cast<char32_t>(in[0]) << 24;
      used = 4;
      return cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) ? Step::kIllegal : Step::kDone;
    }
    case Form::kUtf16Le: {
      if (left < 2) return Step::kIncomplete;
      const char32_t unit = in[0] | in[1] << 8;
      if (unit < 0xD800 || unit > 0xDFFF) {
        cp = unit;
        used = 2;
        return Step::kDone;
      }
      if (unit > 0xDBFF) return Step::kIllegal;
      if (left < 4) return Step::kIncomplete;
      const char32_t low = in[2] | in[3] << 8;
      if (low < 0xDC00 || low > 0xDFFF) return Step::kIllegal;
      cp = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
      used = 4;
      return Step::kDone;
    }
    case Form::kIso2022Jp:
      return DecodeIso2022Jp(side, in, left, cp, used);
    case Form::kUtf7:
      return DecodeUtf7(side, in, left, cp, used);
    case Form::kCodePage:
      break;
  }
  if (side.code_page == CP_UTF8) return DecodeUtf8(in, left, cp, used);
  if (side.longest == 1) {
    cp = side.bytes[in[0]];
    used = 1;
    return cp == kUndefined ? Step::kIllegal : Step::kDone;
  }
  const DWORD flags = TakesErrorFlags(side.code_page) ? MB_ERR_INVALID_CHARS : 0;
  const std::size_t longest = side.longest;
  for (std::size_t n = 1; n <= longest && n <= left; ++n) {
    wchar_t wide[2];
    const int units = MultiByteToWideChar(side.code_page, flags, reinterpret_cast<const char*>(in),
                                          static_cast<int>(n), wide, 2);
    if (units == 1 && !(wide[0] >= 0xD800 && wide[0] <= 0xDFFF)) {
      cp = wide[0];
    } else if (units == 2 && wide[0] >= 0xD800 && wide[0] <= 0xDBFF) {
      cp = 0x10000 + ((wide[0] - 0xD800) << 10) + (wide[1] - 0xDC00);
    } else {
      continue;
    }
    used = n;
    return Step::kDone;
  }
  return left < longest ? Step::kIncomplete : Step::kIllegal;
}

// The shift sequence into `shift`, when it is not in force; returns its length.
std::size_t ShiftTo(Side& side, Shift shift, unsigned char* buffer) {
  if (side.shift == shift) return 0;
  static constexpr const char* kSequences[] = {"\x1B(B", "\x1B(J", "\x1B$B"};
  std::memcpy(buffer, kSequences[shift], 3);
  side.shift = shift;
  return 3;
}

// ISO-2022-JP: ASCII, then JIS X 0208 (EUC-JP's two-byte row), then the two JIS-Roman letters.
bool EncodeIso2022Jp(Side& side, char32_t cp, unsigned char* buffer, std::size_t& written) {
  if (cp < 0x80) {
    written = ShiftTo(side, kAscii, buffer);
    buffer[written++] = static_cast<unsigned char>(cp);
    return true;
  }
  char euc[4];
  BOOL defaulted = FALSE;
  const wchar_t wide = static_cast<wchar_t>(cp);
  const int length = cp > 0xFFFF ? 0
                                 : WideCharToMultiByte(kEucJpCodePage, WC_NO_BEST_FIT_CHARS, &wide,
                                                       1, euc, sizeof euc, nullptr, &defaulted);
  const auto lead = static_cast<unsigned char>(euc[0]), trail = static_cast<unsigned char>(euc[1]);
  if (length == 2 && !defaulted && lead >= 0xA1 && trail >= 0xA1) {
    written = ShiftTo(side, kJis0208, buffer);
    buffer[written++] = lead & 0x7F;
    buffer[written++] = trail & 0x7F;
    return true;
  }
  if (cp == 0xA5 || cp == 0x203E) {
    written = ShiftTo(side, kJisRoman, buffer);
    buffer[written++] = cp == 0xA5 ? 0x5C : 0x7E;
    return true;
  }
  return false;
}

// Writes one code point to buffer (at least 8 bytes); sets written to its length.
bool Encode(Side& side, char32_t cp, unsigned char* buffer, std::size_t& written) {
  switch (side.form) {
    case Form::kUtf32Le:
    case Form::kUtf32Be:
      for (int i = 0; i < 4; ++i) {
        const int shift = side.form == Form::kUtf32Le ? 8 * i : 8 * (3 - i);
        buffer[i] = static_cast<unsigned char>(cp >> shift);
      }
      written = 4;
      return true;
    case Form::kIso2022Jp:
      return EncodeIso2022Jp(side, cp, buffer, written);
    case Form::kUtf7:
      return false;  // never opened for writing
    default:
      break;
  }
  wchar_t wide[2];
  int units = 1;
  if (cp >= 0x10000) {
    wide[0] = static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
    wide[1] = static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    units = 2;
  } else {
    wide[0] = static_cast<wchar_t>(cp);
  }
  if (side.form == Form::kUtf16Le) {
    for (int i = 0; i < units; ++i) {
      buffer[2 * i] = static_cast<unsigned char>(wide[i]);
      buffer[2 * i + 1] = static_cast<unsigned char>(wide[i] >> 8);
    }
    written = 2 * static_cast<std::size_t>(units);
    return true;
  }
  if (side.longest == 1 && side.code_page != CP_UTF8) {
    // The byte table, so that a byte undefined in decoding is no encoding of anything either.
    for (std::size_t b = 0; b < side.bytes.size(); ++b) {
      if (side.bytes[b] != cp) continue;
      buffer[0] = static_cast<unsigned char>(b);
      written = 1;
      return true;
    }
    return false;
  }
  BOOL defaulted = FALSE;
  const bool asks_default = TakesDefaultQuery(side.code_page);
  const int length = WideCharToMultiByte(side.code_page, asks_default ? WC_NO_BEST_FIT_CHARS : 0,
                                         wide, units, reinterpret_cast<char*>(buffer), 8, nullptr,
                                         asks_default ? &defaulted : nullptr);
  if (length <= 0 || defaulted) return false;
  written = static_cast<std::size_t>(length);
  return true;
}

std::size_t Fail(int error) {
  errno = error;
  return static_cast<std::size_t>(-1);
}

// No input: both sides return to their initial state; the destination's shift back to it is
// written when there is room for it.
std::size_t Reset(Descriptor& d, char** out, std::size_t* out_left) {
  d.from = Side{d.from.form, d.from.code_page, d.from.longest, d.from.bytes};
  if (!out || !*out || !out_left) {
    d.to.shift = kAscii;
    return 0;
  }
  unsigned char buffer[8];
  const Shift before = d.to.shift;
  const std::size_t written = ShiftTo(d.to, kAscii, buffer);
  if (written > *out_left) {
    d.to.shift = before;
    return Fail(E2BIG);
  }
  std::memcpy(*out, buffer, written);
  *out += written;
  *out_left -= written;
  return 0;
}

}  // namespace

extern "C" iconv_t iconv_open(const char* to, const char* from) {
  auto d = std::make_unique<Descriptor>();
  if (!Named(Upper(to), d->to) || !Named(Upper(from), d->from) || d->to.form == Form::kUtf7) {
    errno = EINVAL;
    return reinterpret_cast<iconv_t>(-1);
  }
  Prepare(d->to);
  Prepare(d->from);
  return d.release();
}

extern "C" std::size_t iconv(iconv_t cd, char** in, std::size_t* in_left, char** out,
                             std::size_t* out_left) {
  Descriptor& d = *static_cast<Descriptor*>(cd);
  if (!in || !*in || !in_left) return Reset(d, out, out_left);
  while (*in_left > 0) {
    char32_t cp = 0;
    std::size_t used = 0;
    const Step step =
        Decode(d.from, reinterpret_cast<const unsigned char*>(*in), *in_left, cp, used);
    if (step == Step::kIncomplete) return Fail(EINVAL);
    if (step == Step::kIllegal) return Fail(EILSEQ);
    if (step == Step::kShift) {
      *in += used;
      *in_left -= used;
      continue;
    }
    unsigned char buffer[8];
    std::size_t written = 0;
    const Shift before = d.to.shift;
    if (!Encode(d.to, cp, buffer, written)) return Fail(EILSEQ);
    if (written > *out_left) {
      d.to.shift = before;
      return Fail(E2BIG);
    }
    std::memcpy(*out, buffer, written);
    *out += written;
    *out_left -= written;
    *in += used;
    *in_left -= used;
  }
  return 0;
}

extern "C" int iconv_close(iconv_t cd) {
  delete static_cast<Descriptor*>(cd);
  return 0;
}
