// The LZ77 window of compressed RTF: 4096 bytes, of which the first 207 are preloaded with text
// common to RTF documents, so that even the first bytes of a body compress.
#pragma once

#include <cstddef>
#include <string_view>

namespace pst::rtf {

inline constexpr std::size_t kRtfDictionarySize = 4096;
inline constexpr std::size_t kRtfDictionaryMask = kRtfDictionarySize - 1;
inline constexpr std::size_t kRtfMaxMatch = 17;  // 4-bit length field + 2
inline constexpr std::size_t kRtfMinMatch = 2;

inline constexpr std::string_view kRtfPreload =
    "{\\rtf1\\ansi\\mac\\deff0\\deftab720{\\fonttbl;}{\\f0\\fnil \\froman \\fswiss \\fmodern "
    "\\fscript \\fdecor MS Sans SerifSymbolArialTimes New RomanCourier{\\colortbl\\red0\\green0"
    "\\blue0\r\n\\par \\pard\\plain\\f0\\fs20\\b\\i\\u\\tab\\tx";

static_assert(kRtfPreload.size() == 207, "the preload is 207 bytes");

}  // namespace pst::rtf
