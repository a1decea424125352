// Byte texts of the single-byte Windows code pages: each of the 256 bytes converted alone, as
// these code pages read every byte alike whatever stands around it; one table per code page, made
// by its first reader.
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

bool SetByteText(ByteText& entry, std::string_view text) {
  if (text.empty() || text.size() > sizeof entry.text) return false;
  std::copy(text.begin(), text.end(), entry.text);
  entry.size = static_cast<std::uint8_t>(text.size());
  return true;
}

// The code page's texts, each byte as the converter reads it alone; nullopt when it reads a byte
// as nothing or as more than a table entry holds.
std::optional<SingleByteTexts> MakeTexts(std::string_view code_page) {
  SingleByteTexts texts{};
  for (int b = 0; b < 256; ++b) {
    const std::string utf8 =
        ConvertCharset(std::string(1, static_cast<char>(b)), code_page, "utf8");
    if (!SetByteText(texts.utf8[b], utf8) ||
        !SetByteText(texts.html[b], mime::ToNumericReferences(utf8))) {
      return std::nullopt;
    }
  }
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
