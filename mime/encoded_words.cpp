// Encoded-word decoding and encoding. The closing "?=" of a word is looked for after its charset
// and encoding fields, so short words in a row decode one by one.
#include "mime/encoded_words.h"

#include <algorithm>

#include "mime/base64_codec.h"
#include "mime/charset_bridge.h"
#include "mime/quoted_printable_codec.h"

namespace mime {
namespace {

// One encoded word found in a value: its fields and where it ends.
struct EncodedWord {
  std::string_view charset;
  std::string_view encoding;
  std::string_view text;
  size_t end = 0;  // just past the closing "?="
};

// Reads the word opening at start ("=?"); false when it is not terminated.
bool ReadWord(std::string_view value, size_t start, EncodedWord& word) {
  size_t charset_end = value.find('?', start + 2);
  if (charset_end == std::string_view::npos) return false;
  size_t encoding_end = value.find('?', charset_end + 1);
  if (encoding_end == std::string_view::npos) return false;
  size_t close = value.find("?=", encoding_end + 1);
  if (close == std::string_view::npos) return false;
  word.charset = value.substr(start + 2, charset_end - start - 2);
  word.encoding = value.substr(charset_end + 1, encoding_end - charset_end - 1);
  word.text = value.substr(encoding_end + 1, close - encoding_end - 1);
  word.end = close + 2;
  return true;
}

bool IsLinearWhiteSpace(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// Bytes of the UTF-8 sequence that starts at k (1 for a byte that starts none), cut at the end.
std::size_t SequenceLength(std::string_view text, std::size_t k) {
  const auto lead = static_cast<unsigned char>(text[k]);
  std::size_t n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  return std::min(n, text.size() - k);
}

bool IsPhraseLiteral(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '!' ||
         c == '*' || c == '+' || c == '-' || c == '/' || c == ' ';
}

// The Q form of one character: controls, blanks and tabs included, never a raw white space.
std::string QCharacter(std::string_view sequence, WordPlace place) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const auto b = static_cast<unsigned char>(sequence[0]);
  const bool escaped = b < 32 || (place == WordPlace::kPhrase && !IsPhraseLiteral(sequence[0]));
  if (sequence.size() == 1 && escaped) return {'=', kHex[b >> 4], kHex[b & 15]};
  return EncodeQ(sequence);
}

}  // namespace

std::string DecodeHeaderText(std::string_view value) {
  if (value.find("=?") == std::string_view::npos) return std::string(value);
  std::string result;
  size_t pos = 0;
  bool after_word = false;  // the text so far ends with a decoded word
  while (pos < value.size()) {
    size_t start = value.find("=?", pos);
    EncodedWord word;
    if (start == std::string_view::npos || !ReadWord(value, start, word)) break;
    const std::string_view between = value.substr(pos, start - pos);
    const bool q = word.encoding == "Q" || word.encoding == "q";
    const bool b = word.encoding == "B" || word.encoding == "b";
    if (!(after_word && (q || b) && IsLinearWhiteSpace(between))) result.append(between);
    if (q) {
      result += ConvertCharset(word.charset, "utf-8", DecodeQ(word.text));
    } else if (b) {
      result += ConvertCharset(word.charset, "utf-8", DecodeBase64Word(word.text));
    } else {
      result.append(value.substr(start, word.end - start));
    }
    after_word = q || b;
    pos = word.end;
  }
  result.append(value.substr(pos < value.size() ? pos : value.size()));
  return result;
}

bool NeedsEncoding(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) > 126) return true;
  return false;
}

std::string EncodeHeaderText(std::string_view text) {
  for (char c : text) {
    unsigned char b = static_cast<unsigned char>(c);
    if (b < 32 || b > 126) return "=?utf-8?Q?" + EncodeQ(text) + "?=";
  }
  return std::string(text);
}

std::string EncodeHeaderWords(std::string_view text, WordPlace place) {
  constexpr std::string_view kOpen = "=?utf-8?Q?";
  constexpr std::string_view kClose = "?=";
  constexpr std::size_t kWordText = 75 - kOpen.size() - kClose.size();
  std::string out, word;
  auto flush = [&] {
    if (word.empty()) return;
    if (!out.empty()) out += ' ';
    out.append(kOpen).append(word).append(kClose);
    word.clear();
  };
  for (std::size_t k = 0; k < text.size();) {
    const std::size_t n = SequenceLength(text, k);
    const std::string piece = QCharacter(text.substr(k, n), place);
    if (word.size() + piece.size() > kWordText) flush();
    word += piece;
    k += n;
  }
  flush();
  return out;
}

}  // namespace mime
