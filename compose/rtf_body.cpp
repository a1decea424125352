// HTML and plain text out of encapsulating RTF, through the shared RTF reader, with the RTF's code
// page decoded by the character-set registry (a single-byte code page through its byte texts).
#include "compose/rtf_body.h"

#include <algorithm>
#include <bit>
#include <functional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "compose/char_codes.h"
#include "compose/single_byte_texts.h"
#include "mime/numeric_references.h"
#include "support/rtf/rtf_extract.h"

namespace compose {
namespace {

// RTF without \ansicpg is in the ANSI default code page.
constexpr std::string_view kDefaultCodePage = "1252";

// The code page the RTF's text is in: the one its last \ansicpg names, or the default.
std::string_view CodePageOf(std::string_view named) {
  return named.empty() ? kDefaultCodePage : named;
}

std::string DecodeCodePage(std::string_view bytes, std::string_view code_page) {
  return ConvertCharset(bytes, CodePageOf(code_page), "utf8");
}

// Bytes in the RTF's code page as UTF-8 (the text) or as the HTML's text: a single-byte code
// page's characters come straight from its byte texts, for the HTML already as numeric
// references; other code pages are converted to UTF-8, which the HTML's references are made from
// with the rest of it.
template <ByteTexts SingleByteTexts::*kTexts>
std::string DecodeFor(std::string_view bytes, std::string_view code_page) {
  const SingleByteTexts* texts = SingleByteTextsOf(CodePageOf(code_page));
  return texts ? Concatenate(bytes, texts->*kTexts) : DecodeCodePage(bytes, code_page);
}

#if defined(__SSE2__)
__m128i Load16(const char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }
#endif

// Whether rtf holds marker anywhere. With SSE2 the candidates are the places where the marker's
// first two and last bytes stand, sixteen places a step (in RTF a backslash alone is no filter:
// it starts nearly every word); each candidate is then compared whole. The last few places are
// searched one by one; without SSE2 the whole text goes to a search that skips ahead by the
// marker's length.
bool Holds(std::string_view rtf, std::string_view marker) {
  const std::size_t m = marker.size();
  if (m < 2 || rtf.size() < m) return rtf.find(marker) != std::string_view::npos;
#if defined(__SSE2__)
  std::size_t start = 0;
  const __m128i first = _mm_set1_epi8(marker[0]);
  const __m128i second = _mm_set1_epi8(marker[1]);
  const __m128i last = _mm_set1_epi8(marker.back());
  for (; start + 16 <= rtf.size() - m + 1; start += 16) {
    const char* at = rtf.data() + start;
    const __m128i starts =
        _mm_and_si128(_mm_cmpeq_epi8(Load16(at), first), _mm_cmpeq_epi8(Load16(at + 1), second));
    auto mask = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_and_si128(starts, _mm_cmpeq_epi8(Load16(at + m - 1), last))));
    for (; mask != 0; mask &= mask - 1) {
      const std::size_t candidate = start + static_cast<std::size_t>(std::countr_zero(mask));
      if (rtf.compare(candidate, m, marker) == 0) return true;
    }
  }
  return rtf.find(marker, start) != std::string_view::npos;
#else
  return std::search(rtf.begin(), rtf.end(),
                     std::boyer_moore_horspool_searcher(marker.begin(), marker.end())) != rtf.end();
#endif
}

}  // namespace

bool IsHtmlRtf(std::string_view rtf) { return Holds(rtf, "\\fromhtml"); }
bool IsTextRtf(std::string_view rtf) { return Holds(rtf, "\\fromtext"); }

std::string HtmlFromRtf(std::string_view rtf) {
  return mime::ToNumericReferences(
      rtf::TakeFromRtf(rtf, rtf::Take::kHtml, DecodeFor<&SingleByteTexts::html>));
}

std::string TextFromRtf(std::string_view rtf) {
  return rtf::TakeFromRtf(rtf, rtf::Take::kText, DecodeFor<&SingleByteTexts::utf8>);
}

}  // namespace compose
