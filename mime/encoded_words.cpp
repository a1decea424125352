// Encoded-word decoding and encoding. The closing "?=" of a word is looked for after its charset
// and encoding fields, so short words in a row decode one by one.
#include "mime/encoded_words.h"

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

}  // namespace

std::string DecodeHeaderText(std::string_view value) {
  if (value.find("=?") == std::string_view::npos) return std::string(value);
  std::string result;
  size_t pos = 0;
  while (pos < value.size()) {
    size_t start = value.find("=?", pos);
    EncodedWord word;
    if (start == std::string_view::npos || !ReadWord(value, start, word)) break;
    result.append(value.substr(pos, start - pos));
    if (word.encoding == "Q" || word.encoding == "q") {
      result += ConvertCharset(word.charset, "utf-8", DecodeQ(word.text));
    } else if (word.encoding == "B" || word.encoding == "b") {
      result += ConvertCharset(word.charset, "utf-8", DecodeBase64Word(word.text));
    } else {
      result.append(value.substr(start, word.end - start));
    }
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

}  // namespace mime
