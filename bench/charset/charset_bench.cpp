// Conversion throughput: UTF-8 <-> ISO-8859-1 and Windows-1252 <-> UTF-8 over 64 KiB of mostly
// Latin text with accented letters and typographic quotes, as mail bodies are.
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "support/charset/pl_converter.h"

namespace {

constexpr std::size_t kBufferBytes = 64 * 1024;

// 64 KiB of Windows-1252 text: words, accented letters (about 1 in 20) and quotes.
std::string Windows1252Text() {
  const std::string words =
      "Dear Ren\xE9, the caf\xE9 on the \x93Stra\xDF"
      "e\x94 re\xF6pens \x96 na\xEFve \xA3"
      "12. ";
  std::string text;
  while (text.size() < kBufferBytes) text += words;
  text.resize(kBufferBytes);
  return text;
}

void Convert(benchmark::State& state, const char* from, const char* to, const std::string& input) {
  charset::TPlConverter converter(from, to);
  for (auto _ : state) {
    std::string out = converter.Convert(input);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input.size()));
}

void BM_Latin1ToUtf8(benchmark::State& state) {
  Convert(state, "iso-8859-1", "utf-8", Windows1252Text());
}
void BM_Utf8ToLatin1(benchmark::State& state) {
  const std::string utf8 = charset::TPlConverter("iso-8859-1", "utf-8").Convert(Windows1252Text());
  Convert(state, "utf-8", "iso-8859-1", utf8.substr(0, kBufferBytes));
}
void BM_Windows1252ToUtf8(benchmark::State& state) {
  Convert(state, "windows-1252", "utf-8", Windows1252Text());
}
void BM_Utf8ToWindows1252(benchmark::State& state) {
  const std::string utf8 =
      charset::TPlConverter("windows-1252", "utf-8").Convert(Windows1252Text());
  Convert(state, "utf-8", "windows-1252", utf8.substr(0, kBufferBytes));
}

// The stream form, as the body extraction uses it.
void BM_Windows1252ToUtf8Stream(benchmark::State& state) {
  const std::string input = Windows1252Text();
  charset::TPlConverter converter("windows-1252", "utf-8");
  for (auto _ : state) {
    std::istringstream in(input);
    std::ostringstream out;
    converter.ConvertStream(in, out);
    benchmark::DoNotOptimize(out.str().size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input.size()));
}

// Creating a converter, as callers do per header word.
void BM_CreateConverter(benchmark::State& state) {
  for (auto _ : state) {
    charset::TPlConverter converter("windows-1252", "utf-8");
    benchmark::DoNotOptimize(&converter);
  }
}

}  // namespace

BENCHMARK(BM_Latin1ToUtf8);
BENCHMARK(BM_Utf8ToLatin1);
BENCHMARK(BM_Windows1252ToUtf8);
BENCHMARK(BM_Utf8ToWindows1252);
BENCHMARK(BM_Windows1252ToUtf8Stream);
BENCHMARK(BM_CreateConverter);

BENCHMARK_MAIN();
