// Thread status records and their dump: registered threads may keep 128 status lines each, and a
// background writer saves all records to a status file every few seconds. The program registers no
// records of its own; the writer runs only when its marker file exists (thread_status_startup.h).
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace diag {

// One status record of a thread.
struct TThreadStatusInfo {
  static constexpr std::size_t kLineCount = 128;
  std::array<std::string, kLineCount> lines;
  std::string name;
  double created = 0;  // date-time value: days since 30 December 1899
};

// The records of registered threads, keyed by a string, in the order they were added. Every access
// holds one lock, so threads may change records while the writer dumps them.
class TThreadStatusRegistry {
 public:
  explicit TThreadStatusRegistry(std::string status_path) : status_path_(std::move(status_path)) {}

  // Adds a record, or replaces the one with that key in place.
  void Put(const std::string& key, TThreadStatusInfo info);
  // Sets one status line of a record; false when there is no such record or line.
  bool SetLine(const std::string& key, std::size_t index, std::string text);
  void Remove(const std::string& key);

  // The dump: per record "Thread: NAME (KEY) created at YYYY-MM-DD hh:mm:ss", CR LF, the 128 lines
  // each with CR LF, then one more CR LF. Empty without records.
  std::string DumpText() const;
  // Replaces the status file with the dump (errors are ignored) and remembers the tick count.
  void Dump();

  const std::string& StatusPath() const { return status_path_; }
  std::uint32_t LastDumpTick() const { return last_dump_tick_; }

 private:
  const std::string status_path_;
  mutable std::mutex lock_;
  std::vector<std::pair<std::string, TThreadStatusInfo>> records_;
  std::atomic<std::uint32_t> last_dump_tick_{0};
};

// The writer thread: dumps the registry, then sleeps for the interval, until it is stopped.
class TThreadStatusWriter {
 public:
  static constexpr std::chrono::milliseconds kInterval{3000};

  // Starts the thread at once. The registry must outlive the writer.
  explicit TThreadStatusWriter(TThreadStatusRegistry& registry,
                               std::chrono::milliseconds interval = kInterval);
  // Stops the thread.
  ~TThreadStatusWriter() { Stop(); }
  TThreadStatusWriter(const TThreadStatusWriter&) = delete;
  TThreadStatusWriter& operator=(const TThreadStatusWriter&) = delete;

  // Asks the thread to stop, wakes it from its sleep and waits for it (at most one dump).
  void Stop();
  // Dumps written so far.
  std::size_t DumpCount() const { return dump_count_; }

 private:
  void Run(std::stop_token stop);

  TThreadStatusRegistry& registry_;
  const std::chrono::milliseconds interval_;
  std::atomic<std::size_t> dump_count_{0};
  std::mutex sleep_lock_;
  std::condition_variable_any wake_;
  std::jthread thread_;  // last: starts after everything it uses exists
};

}  // namespace diag
