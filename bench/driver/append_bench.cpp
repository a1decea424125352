// Throughput of AppendMessage: 100,000 composed messages of 4 KB and 1,000 of 5 MB appended to an
// archive on disk, in MB/s of message text (10^6 bytes). Usage: bench_driver_append [folder]
// (default: the system's temporary folder). The archive files are removed afterwards. Beside it,
// the same bytes written plainly, to separate the writer's cost from what the disk allows.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "driver/archive_writer.h"
#include "tests/support/own_usage.h"

namespace {

// A message as the composer writes it: header, multipart body with a text part and a base64
// attachment, filled to `size` bytes.
std::string ComposedMessage(std::size_t size, int variant) {
  std::string text =
      "Return-Path: <sender@example.org>\r\n"
      "From: \"Sender Name\" <sender@example.org>\r\n"
      "To: \"First Recipient\" <first@example.com>, second@example.com\r\n"
      "Cc: third@example.net\r\n"
      "Subject: Quarterly report " +
      std::to_string(variant) +
      " =?utf-8?Q?=C3=BCbersicht?=\r\n"
      "Date: Mon, 7 Dec 2026 08:00:00 +0000\r\n"
      "Message-ID: <" +
      std::to_string(variant) +
      ".bench@example.org>\r\n"
      "MIME-Version: 1.0\r\n"
      "Content-Type: multipart/mixed; boundary=\"Next_Part_123456\"\r\n"
      "\r\n"
      "--Next_Part_123456\r\n"
      "Content-Type: text/plain; charset=\"utf-8\"\r\n"
      "\r\n"
      "Hello,\r\nthe report is attached.\r\n"
      "--Next_Part_123456\r\n"
      "Content-Type: application/octet-stream; name=\"report.bin\"\r\n"
      "Content-Transfer-Encoding: base64\r\n"
      "\r\n";
  const std::string line =
      "QUJDREVGR0hJSktMTU5PUFFSU1RVVldYWVphYmNkZWZnaGlqa2xtbm9wcXJzdHV2d3h5ejAxMjM0\r\n";
  const std::string end = "--Next_Part_123456--\r\n";
  while (text.size() + line.size() + end.size() <= size) text += line;
  text.append(size - end.size() - text.size(), 'A');
  return text + end;
}

struct Figure {
  double seconds;
  double megabytes_per_second;
  double cpu_seconds;  // user and system time of this process
};

Figure Run(const std::string& folder, std::size_t message_size, int count) {
  const std::string base = folder + "/bench_append_" + std::to_string(getpid());
  const std::string texts[2] = {ComposedMessage(message_size, 1), ComposedMessage(message_size, 2)};
  const double cpu_start = test_support::OwnCpuSeconds();
  auto start = std::chrono::steady_clock::now();
  {
    driver::ArchiveWriter writer(driver::CreateOutputFile(base + ".xmz"),
                                 driver::CreateOutputFile(base + ".idx"));
    writer.Start();
    bool stop = false;
    for (int i = 0; i < count && !stop; ++i)
      writer.AppendMessage(0, 0, 5 + i % 7, texts[i % 2], 45000.25 + i, stop);
    if (stop) std::fprintf(stderr, "write failed: %s\n", writer.Failure().c_str());
    writer.CloseIndex();
    writer.CloseData();
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpu_seconds = test_support::OwnCpuSeconds() - cpu_start;
  std::filesystem::remove(base + ".xmz");
  std::filesystem::remove(base + ".idx");
  return {seconds, static_cast<double>(message_size) * count / 1e6 / seconds, cpu_seconds};
}

// The same bytes written with one plain write per message and no index: what the disk allows.
Figure PlainWrites(const std::string& folder, std::size_t message_size, int count) {
  const std::string path = folder + "/bench_plain_" + std::to_string(getpid());
  const std::string text = ComposedMessage(message_size, 1);
  const double cpu_start = test_support::OwnCpuSeconds();
  auto start = std::chrono::steady_clock::now();
  {
    std::unique_ptr<driver::OutputFile> file = driver::CreateOutputFile(path);
    for (int i = 0; i < count; ++i)
      if (file->Append({text})) break;
    file->Close();
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpu_seconds = test_support::OwnCpuSeconds() - cpu_start;
  std::filesystem::remove(path);
  return {seconds, static_cast<double>(message_size) * count / 1e6 / seconds, cpu_seconds};
}

void Report(const char* name, std::size_t size, int count, const Figure& figure) {
  std::printf("%-24s %7d x %7zu bytes  %7.3f s  %7.1f MB/s  (cpu %6.3f s)\n", name, count, size,
              figure.seconds, figure.megabytes_per_second, figure.cpu_seconds);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
  std::printf("archive files in %s; best of the rounds, each started after sync\n", folder.c_str());
  struct Case {
    std::size_t size;
    int count;
    int rounds;
  };
  for (const Case& c : {Case{4096, 100000, 3}, Case{5 << 20, 1000, 2}}) {
    Figure best_append{1e9, 0, 0}, best_plain{1e9, 0, 0};
    for (int round = 0; round < c.rounds; ++round) {
      // Rounds alternate so that both see the same state of the machine's write-back.
      test_support::SyncFileSystems();
      Figure append = Run(folder, c.size, c.count);
      if (append.seconds < best_append.seconds) best_append = append;
      test_support::SyncFileSystems();
      Figure plain = PlainWrites(folder, c.size, c.count);
      if (plain.seconds < best_plain.seconds) best_plain = plain;
    }
    Report("AppendMessage", c.size, c.count, best_append);
    Report("plain writes, no index", c.size, c.count, best_plain);
    std::printf("  ratio AppendMessage / plain writes: %.2f\n",
                best_append.megabytes_per_second / best_plain.megabytes_per_second);
  }
  return 0;
}
