// Messages of one folder read and composed on worker threads while the session's thread hands them
// to the message callback strictly in row order. Each worker takes the next row, opens, reads and
// composes its message and produces the text into a bounded channel, so every mail-library call for
// one message happens on one thread and memory stays flat; the session's thread passes the text on
// as the callback writes it, then counts the message's outcome exactly as the one-thread path does.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "libs/import_session/message_enumeration.h"

namespace import_session {

// The most threads that compose messages, whatever the machine.
inline constexpr unsigned kMaxMessageWorkers = 8;
// How many messages each worker may read ahead of the one being handed over.
inline constexpr std::size_t kMessagesAheadPerWorker = 2;

// The number of threads that compose messages: PST2XMZ_WORKERS when it names one (a setting for
// tests), else one per processor. 1 when PST2XMZ_TRACE is set, so that the trace's lines keep the
// order in which the work is done.
unsigned MessageWorkerCount();

class ParallelMessages {
 public:
  // Starts `workers` threads (at least 2) that wait for rows.
  ParallelMessages(SessionState& state, const FolderContext& folder, unsigned workers);
  // Stops and joins the workers.
  ~ParallelMessages();
  ParallelMessages(const ParallelMessages&) = delete;
  ParallelMessages& operator=(const ParallelMessages&) = delete;

  // Hands over the messages of the rows in order, until the batch ends or the callback asks to
  // stop; the messages read ahead of a stop are let go uncounted. Returns how many rows were
  // handed over. Every worker is idle again when it returns, also when it throws.
  ULONG ProcessBatch(const SRowSet& rows);

 private:
  struct Job;
  class ChannelText;
  class BatchEnd;

  void WorkerLoop();
  void RunJob(Job& job, const SRow& row);
  void Publish(Job& job, int stage);
  // Waits until the job has reached `stage`. Requires lock on mutex_.
  void WaitFor(std::unique_lock<std::mutex>& lock, const Job& job, int stage);
  void HandOverJob(Job& job);
  // Closes every started job's channel and waits until each is done.
  void AbandonBatch();

  SessionState& state_;
  const FolderContext& folder_;
  const std::size_t window_;  // messages read at most ahead of the one handed over

  std::mutex mutex_;  // guards every member below and each job's stage
  std::condition_variable changed_;
  const SRowSet* rows_ = nullptr;           // the batch being read; null between batches
  std::vector<std::unique_ptr<Job>> jobs_;  // one per row of the batch
  std::size_t next_ = 0;                    // the next row a worker takes
  std::size_t handed_ = 0;                  // rows handed over (or abandoned) so far
  bool abandoned_ = false;                  // no further row of the batch is to be started
  bool quit_ = false;

  std::vector<std::thread> workers_;  // last: started once everything above is ready
};

}  // namespace import_session
