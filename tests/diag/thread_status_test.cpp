// Thread status: the dump text of the records, the status file it replaces, the marker that decides
// whether the writer runs, and the writer loop (shortened interval) with its stop.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "platform/os/clock.h"
#include "support/diag/date_text.h"
#include "support/diag/thread_status.h"
#include "support/diag/thread_status_startup.h"
#include "tests/support/temp_dir.h"
#include "tests/support/whole_file.h"

namespace {

namespace fs = std::filesystem;
using test_support::ReadWholeFile;
using test_support::TempDir;

// Polls until the condition holds; false after a generous deadline (a stuck writer).
bool WaitUntil(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

class FixedTickClock : public os::Clock {
 public:
  std::uint32_t TickCount() const override { return 123456; }
  os::LocalTime Now() const override { return {}; }
  int UtcOffsetMinutes(std::int64_t) const override { return 0; }
  int CurrentUtcOffsetMinutes() const override { return 0; }
};

diag::TThreadStatusInfo Record(const std::string& name, double created) {
  diag::TThreadStatusInfo info;
  info.name = name;
  info.created = created;
  return info;
}

// The block a record dumps as, built line by line.
std::string ExpectedBlock(const std::string& key, const diag::TThreadStatusInfo& info) {
  std::string block = "Thread: " + info.name + " (" + key + ") created at " +
                      diag::FormatDateTime(info.created) + "\r\n";
  for (const std::string& line : info.lines) block += line + "\r\n";
  return block + "\r\n";
}

TEST(DateText, FormatsDaysSince1899) {
  EXPECT_EQ(diag::FormatDateTime(0), "1899-12-30 00:00:00");
  EXPECT_EQ(diag::FormatDateTime(36526.75), "2000-01-01 18:00:00");
  const double date = os::ToDateTime({2026, 12, 7, 8, 30, 15, 0, 1});
  EXPECT_EQ(diag::FormatDateTime(date), "2026-12-07 08:30:15");
}

TEST(ThreadStatusDump, NoRecordsGiveAnEmptyDump) {
  diag::TThreadStatusRegistry registry("unused");
  EXPECT_EQ(registry.DumpText(), "");
}

TEST(ThreadStatusDump, OneRecordGivesHeaderAnd128LinesAndABlankLine) {
  diag::TThreadStatusRegistry registry("unused");
  const double created = os::ToDateTime({2026, 12, 7, 8, 30, 15, 0, 1});
  registry.Put("k1", Record("worker", created));
  ASSERT_TRUE(registry.SetLine("k1", 0, "reading folder"));
  ASSERT_TRUE(registry.SetLine("k1", 127, "last line"));
  const std::string text = registry.DumpText();
  const std::string head =
      "Thread: worker (k1) created at 2026-12-07 08:30:15\r\nreading folder\r\n";
  EXPECT_EQ(text.substr(0, head.size()), head);
  // 1 header line, 128 status lines, 1 blank line.
  std::size_t line_ends = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos;
       at = text.find("\r\n", at + 2)) {
    ++line_ends;
  }
  EXPECT_EQ(line_ends, 130u);
  EXPECT_EQ(text.substr(text.size() - 13), "last line\r\n\r\n");
}

TEST(ThreadStatusDump, RecordsKeepTheirOrderAndReplaceInPlace) {
  diag::TThreadStatusRegistry registry("unused");
  registry.Put("b", Record("second", 1));
  registry.Put("a", Record("first", 2));
  auto replaced = Record("second again", 3);
  replaced.lines[5] = "five";
  registry.Put("b", replaced);
  EXPECT_EQ(registry.DumpText(),
            ExpectedBlock("b", replaced) + ExpectedBlock("a", Record("first", 2)));
  registry.Remove("b");
  EXPECT_EQ(registry.DumpText(), ExpectedBlock("a", Record("first", 2)));
}

TEST(ThreadStatusDump, LinesOutsideTheRecordAreRefused) {
  diag::TThreadStatusRegistry registry("unused");
  EXPECT_FALSE(registry.SetLine("missing", 0, "x"));
  registry.Put("k", Record("t", 0));
  EXPECT_FALSE(registry.SetLine("k", 128, "x"));
  EXPECT_TRUE(registry.SetLine("k", 127, "x"));
}

TEST(ThreadStatusDump, DumpReplacesTheFileAndRemembersTheTick) {
  TempDir dir;
  const fs::path status = fs::path(dir.path()) / "prog.thr";
  { std::ofstream(status) << std::string(10000, 'x'); }
  FixedTickClock clock;
  os::ScopedClock scoped_clock(clock);
  diag::TThreadStatusRegistry registry(status.string());
  registry.Put("k", Record("t", 0));
  registry.Dump();
  EXPECT_EQ(ReadWholeFile(status.string()), registry.DumpText());
  EXPECT_EQ(registry.LastDumpTick(), 123456u);
}

TEST(ThreadStatusDump, UnwritableFileIsIgnored) {
  TempDir dir;
  diag::TThreadStatusRegistry registry(
      (fs::path(dir.path()) / "no-such-dir" / "prog.thr").string());
  registry.Put("k", Record("t", 0));
  EXPECT_NO_THROW(registry.Dump());
  EXPECT_FALSE(fs::exists(fs::path(dir.path()) / "no-such-dir"));
}

TEST(ThreadStatusFiles, ExtensionReplacedOrAdded) {
  EXPECT_EQ(diag::ThreadStatusFilesFor("/usr/bin/pst2xmz").marker, "/usr/bin/pst2xmz.t");
  EXPECT_EQ(diag::ThreadStatusFilesFor("/usr/bin/pst2xmz").status, "/usr/bin/pst2xmz.thr");
  EXPECT_EQ(diag::ThreadStatusFilesFor("C/pst2xmz.exe").marker, "C/pst2xmz.t");
  EXPECT_EQ(diag::ThreadStatusFilesFor("/opt/app.d/prog").marker, "/opt/app.d/prog.t");
  EXPECT_EQ(diag::ThreadStatusFilesFor("/opt/.hidden").marker, "/opt/.hidden.t");
  EXPECT_EQ(diag::ThreadStatusFilesFor("prog.x.y").status, "prog.x.thr");
}

TEST(ThreadStatusStartup, NoMarkerMeansNoWriterAndNoStatusFile) {
  TempDir dir;
  const std::string program = (fs::path(dir.path()) / "prog").string();
  EXPECT_FALSE(diag::StartThreadStatusFor(program, std::chrono::milliseconds(1)));
  EXPECT_FALSE(diag::ThreadStatusEnabled());
  EXPECT_EQ(diag::ThreadStatusWriter(), nullptr);
  ASSERT_NE(diag::ThreadStatusRecords(), nullptr);  // records may still be kept
  diag::StopThreadStatus();
  EXPECT_FALSE(fs::exists(fs::path(dir.path()) / "prog.thr"));
  EXPECT_EQ(diag::ThreadStatusRecords(), nullptr);
}

TEST(ThreadStatusStartup, MarkerWithoutRecordsRewritesAnEmptyStatusFile) {
  TempDir dir;
  const fs::path program = fs::path(dir.path()) / "prog";
  { std::ofstream(fs::path(dir.path()) / "prog.t") << ""; }
  ASSERT_TRUE(diag::StartThreadStatusFor(program.string(), std::chrono::milliseconds(1)));
  EXPECT_TRUE(diag::ThreadStatusEnabled());
  const fs::path status = fs::path(dir.path()) / "prog.thr";
  ASSERT_TRUE(WaitUntil([&] { return fs::exists(status); }));
  EXPECT_EQ(fs::file_size(status), 0u);
  // Taken away, it comes back with the next dump. On Windows a file the writer holds open cannot be
  // removed at that moment: try again until it is gone.
  std::error_code removing;
  ASSERT_TRUE(WaitUntil([&] { return fs::remove(status, removing); }));
  ASSERT_TRUE(WaitUntil([&] { return fs::exists(status); }));
  EXPECT_EQ(fs::file_size(status), 0u);
  diag::StopThreadStatus();
  EXPECT_FALSE(diag::ThreadStatusEnabled());
  EXPECT_EQ(diag::ThreadStatusWriter(), nullptr);
}

TEST(ThreadStatusStartup, RecordsReachTheStatusFile) {
  TempDir dir;
  const fs::path program = fs::path(dir.path()) / "tool.bin";
  { std::ofstream(fs::path(dir.path()) / "tool.t") << ""; }
  ASSERT_TRUE(diag::StartThreadStatusFor(program.string(), std::chrono::milliseconds(1)));
  diag::ThreadStatusRecords()->Put("main", Record("main thread", 0));
  diag::ThreadStatusRecords()->SetLine("main", 3, "exporting");
  const fs::path status = fs::path(dir.path()) / "tool.thr";
  ASSERT_TRUE(WaitUntil(
      [&] { return ReadWholeFile(status.string()).find("exporting") != std::string::npos; }));
  diag::StopThreadStatus();
}

TEST(ThreadStatusWriter, DumpsRepeatedlyUntilStopped) {
  TempDir dir;
  diag::TThreadStatusRegistry registry((fs::path(dir.path()) / "p.thr").string());
  diag::TThreadStatusWriter writer(registry, std::chrono::milliseconds(1));
  ASSERT_TRUE(WaitUntil([&] { return writer.DumpCount() >= 3; }));
  writer.Stop();
  const std::size_t dumps = writer.DumpCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(writer.DumpCount(), dumps);
}

TEST(ThreadStatusWriter, StopWakesTheWriterFromItsSleep) {
  TempDir dir;
  diag::TThreadStatusRegistry registry((fs::path(dir.path()) / "p.thr").string());
  // With the full 3-second interval a stop that waited out the sleep would hold this test for
  // seconds; stopping right after the first dump returns at once.
  diag::TThreadStatusWriter writer(registry);
  ASSERT_TRUE(WaitUntil([&] { return writer.DumpCount() >= 1; }));
  writer.Stop();
  EXPECT_EQ(writer.DumpCount(), 1u);
}

}  // namespace
