// Full parse of a message with a large base64 attachment, against the header-only load of the
// same text (which should not depend on the body's size).
#include <benchmark/benchmark.h>

#include <random>

#include "mime/base64_codec.h"
#include "mime/index_summary.h"
#include "mime/mime_message.h"

namespace {

// A composed-looking message of about total_bytes: envelope lines, header, text part and one
// base64 attachment.
std::string MakeMessage(size_t total_bytes) {
  std::string text =
      "FROM: \r\nRCPT: mailbox\r\nFrom: \"Ann Smith\" <ann@example.com>\r\n"
      "To: \"Bob Jones\" <bob@example.com>, carol@example.com\r\nSubject: "
      "=?utf-8?Q?Quarterly_r=C3=A9port?=\r\n"
      "Date: Tue, 05 Mar 2024 07:08:09 +0100\r\nMIME-Version: 1.0\r\n"
      "Content-Type: multipart/mixed; boundary=\"Next_Part_123\"\r\n\r\nThis is a multi-part "
      "message\r\n"
      "--Next_Part_123\r\nContent-Type: text/plain; charset=\"utf-8\"\r\n\r\nPlease find the "
      "report attached.\r\n\r\n"
      "--Next_Part_123\r\nContent-Type: application/octet-stream\r\nContent-Transfer-Encoding: "
      "base64\r\n"
      "Content-Disposition: attachment; filename=\"report.bin\"\r\n\r\n";
  std::mt19937 random(7);
  std::string data(total_bytes / 4 * 3, '\0');
  for (char& c : data) c = static_cast<char>(random());
  mime::LineList lines;
  mime::EncodeBase64Lines(data, lines);
  for (const std::string& line : lines) (text += line) += "\r\n";
  text += "\r\n--Next_Part_123--\r\n";
  return text;
}

const std::string& Message(size_t megabytes) {
  static std::string small = MakeMessage(200 << 10), large = MakeMessage(20 << 20);
  return megabytes >= 20 ? large : small;
}

void BM_FullParse(benchmark::State& state) {
  const std::string& text = Message(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    mime::TMimeMessage message;
    message.SetText(text);
    benchmark::DoNotOptimize(message.Header().FromAddress().DisplayText().size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_FullParse)->Arg(20)->Unit(benchmark::kMillisecond);

void BM_IndexSummary(benchmark::State& state) {
  const std::string& text = Message(static_cast<size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(mime::ReadIndexSummary(text));
}
BENCHMARK(BM_IndexSummary)->Arg(0)->Arg(20)->Unit(benchmark::kMicrosecond);

void BM_LoadHeader(benchmark::State& state) {
  const std::string& text = Message(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    mime::TMimeMessage message;
    message.LoadHeader(text);
    benchmark::DoNotOptimize(message.Header().Subject());
  }
}
BENCHMARK(BM_LoadHeader)->Arg(0)->Arg(20)->Unit(benchmark::kMicrosecond);

void BM_Write(benchmark::State& state) {
  const std::string& text = Message(20);
  mime::TMimeMessage message;
  message.SetText(text);
  for (auto _ : state) benchmark::DoNotOptimize(message.GetText().size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Write)->Unit(benchmark::kMillisecond);

void BM_DecodeAttachment(benchmark::State& state) {
  mime::TMimeMessage message;
  message.SetText(Message(20));
  const mime::TMimeMessage& attachment = message.SubParts().Item(1);
  for (auto _ : state) {
    std::string bytes;
    benchmark::DoNotOptimize(mime::DecodeBase64Lines(attachment.Body().Lines(), bytes));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Message(20).size()));
}
BENCHMARK(BM_DecodeAttachment)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
