// Text conversion for string property values: UTF-16LE as stored in Unicode strings, and 8-bit
// strings in a Windows code page, both to UTF-8. Nothing is dropped silently: a lone surrogate or a
// byte the code page does not define becomes U+FFFD and conversion goes on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace pst::ltp {

inline constexpr std::uint32_t kDefaultCodePage = 1252;  // Western European (Windows)
inline constexpr std::uint32_t kUtf8CodePage = 65001;

// UTF-16LE bytes to UTF-8. A trailing odd byte is an incomplete unit and is dropped.
std::string Utf16LeToUtf8(std::span<const std::byte> utf16le);

// Bytes in Windows code page `code_page` to UTF-8. Unknown code pages are read as 1252.
std::string CodePageToUtf8(std::span<const std::byte> text, std::uint32_t code_page);

// The iconv name for a Windows code page number, or nullptr when we know none.
const char* CodePageName(std::uint32_t code_page);

}  // namespace pst::ltp
