// Body derivation throughput in MB/s over 256 KiB of mail-like HTML (markup, CSS, a script, text
// with non-ASCII letters): HTML to encapsulating RTF, that RTF back to HTML through the
// composition's scanner, HTML to plain text, and RTF to plain text.
#include <benchmark/benchmark.h>

#include <string>

#include "compose/rtf_body.h"
#include "platform/mapilib/html_to_rtf.h"
#include "platform/mapilib/html_to_text.h"
#include "support/rtf/rtf_extract.h"

namespace {

constexpr std::size_t kBytes = 256 * 1024;

std::string Html() {
  std::string html =
      "<html><head><style>p { margin: 0; } td { padding: 2px; }</style>"
      "<script>var x = {a: '\\\\'};</script></head><body>\r\n";
  const std::string paragraph =
      "<p class=\"MsoNormal\">Dear Ren\xC3\xA9, the caf\xC3\xA9 on the <b>Stra\xC3\x9F"
      "e</b> "
      "reopens &amp; serves <a href=\"https://example.com/x?a=1&b=2\">coffee</a> again.</p>\r\n"
      "<table><tr><td>C:\\temp\\{x}</td><td>\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82</td></"
      "tr>"
      "</table><br>\r\n";
  while (html.size() < kBytes) html += paragraph;
  return html + "</body></html>\r\n";
}

std::string Utf8AsIs(std::string_view bytes, std::string_view) { return std::string(bytes); }

void BM_HtmlToRtf(benchmark::State& state) {
  const std::string html = Html();
  for (auto _ : state) {
    std::string rtf = mapilib::EncapsulateHtml(html, 65001);
    benchmark::DoNotOptimize(rtf.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * html.size()));
}

void BM_RtfToHtmlThroughComposition(benchmark::State& state) {
  const std::string rtf = mapilib::EncapsulateHtml(Html(), 65001);
  for (auto _ : state) {
    std::string html = compose::HtmlFromRtf(rtf);
    benchmark::DoNotOptimize(html.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * rtf.size()));
}

void BM_HtmlToText(benchmark::State& state) {
  const std::string html = Html();
  for (auto _ : state) {
    std::string text = mapilib::HtmlToText(html);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * html.size()));
}

// Native RTF of the same size: paragraphs of formatted text with escapes and \uN characters.
void BM_RtfToText(benchmark::State& state) {
  std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n";
  const std::string paragraph =
      "\\pard\\f0\\fs20 Dear Ren\\'e9, the caf\\'e9 on the {\\b Stra\\'dfe} reopens \\{again\\}"
      "\\tab \\uc1\\u1055?\\u1088?\\u1080?\\u1074?\\u1077?\\u1090? C:\\\\temp\\par\r\n";
  while (rtf.size() < kBytes) rtf += paragraph;
  rtf += "}";
  for (auto _ : state) {
    std::string text = rtf::TakeFromRtf(rtf, rtf::Take::kText, Utf8AsIs);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * rtf.size()));
}

BENCHMARK(BM_HtmlToRtf);
BENCHMARK(BM_RtfToHtmlThroughComposition);
BENCHMARK(BM_HtmlToText);
BENCHMARK(BM_RtfToText);

}  // namespace
