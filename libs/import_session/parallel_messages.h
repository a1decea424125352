// Messages of one folder read and composed on several threads while the session's thread hands
// them to the message callback strictly in row order. Each message is taken in row order by one
// thread, which makes every mail-library call for it: a worker opens, reads and composes it and
// produces its text into a bounded channel (memory stays flat), which the session's thread passes
// on as the callback writes it; the session's thread, rather than wait for the next message,
// composes further ones itself (their texts are written directly when their turn comes, what
// reading met set aside meanwhile). The outcome of each message is counted exactly as the
// one-thread path counts it, in row order.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "libs/import_session/message_enumeration.h"
#include "libs/mapi/mapi_memory.h"

namespace import_session {

// The most threads that compose messages, whatever the machine.
inline constexpr unsigned kMaxMessageWorkers = 8;
// How many messages each composing thread may read ahead of the one being handed over.
inline constexpr std::size_t kMessagesAheadPerWorker = 4;

// The number of threads that compose messages, the session's own included: PST2XMZ_WORKERS when it
// names one (a setting for tests), else one per processor. 1 when PST2XMZ_TRACE is set, so that
// the trace's lines keep the order in which the work is done.
unsigned MessageWorkerCount();

class ParallelMessages {
 public:
  // `workers` threads compose messages (at least 2): the session's own and workers - 1 started
  // here, which wait for rows.
  ParallelMessages(SessionState& state, const FolderContext& folder, unsigned workers);
  // Lets every message not yet handed over go, then stops and joins the started threads.
  ~ParallelMessages();
  ParallelMessages(const ParallelMessages&) = delete;
  ParallelMessages& operator=(const ParallelMessages&) = delete;

  // Takes the rows of the table's next batch, to be composed after those taken before; the
  // workers may start them at once, also while earlier batches are still being handed over. The
  // row set is kept until its messages have been handed over or let go.
  void Add(mapi::RowSetPtr rows);

  // Hands over the next `count` messages in row order (all taken with Add), until they are
  // handed over or the callback asks to stop; returns how many were handed over. When the callback
  // asked to stop, or when it throws, every message read ahead is let go uncounted first.
  //
  // `query_next`, when given, is called at most once, on the session's thread: at the first
  // moment when no more rows are left to start than the window holds, no message composed on
  // this thread waits to be handed over, and the thread would otherwise wait for a worker or
  // compose a message itself. The caller reads its next batch there (and Adds it), so that the
  // workers' last messages and the table's next rows are read at the same time, and the workers
  // go on with the next batch without waiting for this one's last hand-overs.
  ULONG HandOverNext(ULONG count, std::function<void()> query_next = nullptr);

 private:
  struct Job;
  class ChannelText;
  class AbandonOnThrow;

  void WorkerLoop();
  // True when a thread may start the next row. Requires lock on mutex_.
  bool MayStartNext() const;
  void RunJob(Job& job);
  // Reads and composes the job's message on the session's thread and sets aside what reading it
  // met; its text is written later.
  void ComposeOnSession(Job& job);
  void Publish(Job& job, int stage);
  // Waits until the job reaches `stage`, composing further rows meanwhile when `help` allows.
  void AwaitJob(std::unique_lock<std::mutex>& lock, const Job& job, int stage, bool help);
  void HandOverJob(Job& job);
  // Closes every started job's channel, waits until each is done, and lets every job go (the
  // batches' rows with them).
  void AbandonAll();

  SessionState& state_;
  const FolderContext& folder_;
  const std::size_t window_;  // messages read at most ahead of the one handed over
  const bool watch_;          // waits watch the job a while before sleeping (several processors)

  std::mutex mutex_;                  // guards every member below and each job's stage
  std::condition_variable work_;      // the workers wait on it for rows
  std::condition_variable progress_;  // the session's thread waits on it for a job
  // One per row taken and not yet handed over, in row order.
  std::deque<std::unique_ptr<Job>> jobs_;
  std::size_t next_ = 0;    // the first job not started: as many are started
  bool abandoned_ = false;  // jobs are being let go: none is to be started
  bool quit_ = false;
  std::size_t idle_workers_ = 0;  // workers waiting for a row
  // Messages composed on the session's thread and not yet handed over. Each sets what reading it
  // met aside, so that the thread may compose the next while they wait; one that cannot keeps the
  // thread from composing another until it is handed over, as what reading that one meets later
  // would be taken with it.
  std::size_t session_jobs_pending_ = 0;
  std::size_t session_jobs_not_apart_ = 0;
  std::function<void()> query_next_;  // HandOverNext's query_next until it is called
  const Job* awaited_ = nullptr;      // the job the session's thread waits for, if it waits

  std::vector<std::thread> workers_;  // last: started once everything above is ready
};

}  // namespace import_session
