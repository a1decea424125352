// Byte texts of the single-byte Windows code pages: all 256 bytes converted as one text, whose
// characters then belong one to each byte; one table per code page, made by its first reader.
#include "compose/single_byte_texts.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

#include "compose/char_codes.h"
#include "mime/numeric_references.h"

namespace compose {
namespace {

// The Windows code pages that give one character for each byte, whatever stands around it.
constexpr std::array<std::string_view, 10> kSingleByteCodePages = {
    "874", "1250", "1251", "1252", "1253", "1254", "1255", "1256", "1257", "1258"};

// The length of the UTF-8 sequence a lead byte starts; 0 for a byte that starts none.
std::size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead < 0xC0) return 0;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  return lead < 0xF8 ? 4 : 0;
}

bool SetByteText(ByteText& entry, std::string_view text) {
  if (text.size() > sizeof entry.text) return false;
  std::copy(text.begin(), text.end(), entry.text);
  entry.size = static_cast<std::uint8_t>(text.size());
  return true;
}

// The code page's texts; nullopt unless the converter's text of all 256 bytes splits into exactly
// 256 characters, which a single-byte code page gives one per byte in order.
std::optional<SingleByteTexts> MakeTexts(std::string_view code_page) {
  std::string all(256, '\0');
  for (int b = 0; b < 256; ++b) all[b] = static_cast<char>(b);
  const std::string utf8 = ConvertCharset(all, code_page, "utf8");
  SingleByteTexts texts{};
  std::size_t at = 0;
  for (int b = 0; b < 256; ++b) {
    const std::size_t n = at < utf8.size() ? SequenceLength(utf8[at]) : 0;
    if (n == 0 || at + n > utf8.size()) return std::nullopt;
    const std::string_view character = std::string_view(utf8).substr(at, n);
    if (!SetByteText(texts.utf8[b], character) ||
        !SetByteText(texts.html[b], mime::ToNumericReferences(character))) {
      return std::nullopt;
    }
    at += n;
  }
  if (at != utf8.size()) return std::nullopt;
  return texts;
}

template <std::size_t K>
const std::optional<SingleByteTexts>& TextsOf() {
  static const std::optional<SingleByteTexts> texts = MakeTexts(kSingleByteCodePages[K]);
  return texts;
}

template <std::size_t... K>
constexpr auto TextsTable(std::index_sequence<K...>) {
  return std::array<const std::optional<SingleByteTexts>& (*)(), sizeof...(K)>{&TextsOf<K>...};
}

}  // namespace

const SingleByteTexts* SingleByteTextsOf(std::string_view code_page) {
  static constexpr auto kTexts =
      TextsTable(std::make_index_sequence<kSingleByteCodePages.size()>());
  const auto it = std::find(kSingleByteCodePages.begin(), kSingleByteCodePages.end(), code_page);
  if (it == kSingleByteCodePages.end()) return nullptr;
  const auto& texts = kTexts[static_cast<std::size_t>(it - kSingleByteCodePages.begin())]();
  return texts ? &*texts : nullptr;
}

// Gathered a stack buffer at a time: each text is copied whole (eight bytes) and the end moved on
// by its size.
std::string Concatenate(std::string_view bytes, const ByteTexts& texts) {
  std::string out;
  out.reserve(bytes.size() * 2);
  char buffer[1024];
  std::size_t used = 0;
  for (char b : bytes) {
    if (used + sizeof(ByteText::text) > sizeof buffer) {
      out.append(buffer, used);
      used = 0;
    }
    const ByteText& text = texts[static_cast<unsigned char>(b)];
    std::memcpy(buffer + used, text.text, sizeof text.text);
    used += text.size;
  }
  out.append(buffer, used);
  return out;
}

}  // namespace compose
