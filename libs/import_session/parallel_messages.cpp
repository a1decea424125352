// Reading and composing messages on worker threads; handing them over and counting them in order.
#include "libs/import_session/parallel_messages.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>

#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>
#endif

#include "libs/import_session/message_reading.h"
#include "libs/import_session/text_channel.h"
#include "support/diag/debug_trace.h"

namespace import_session {
namespace {

enum Stage : int {
  kQueued = 0,
  kReady = 1,  // read and composed (or failed): ready to be handed over
  kDone = 2,   // text produced, findings taken, the message released
};

// A worker count from the environment; nullopt when the variable is unset or not a count.
std::optional<unsigned> WorkersFromEnvironment() {
  const char* wanted = std::getenv("PST2XMZ_WORKERS");
  if (!wanted || !*wanted) return std::nullopt;
  char* end = nullptr;
  const unsigned long count = std::strtoul(wanted, &end, 10);
  if (*end || count < 1 || count > kMaxMessageWorkers) return std::nullopt;
  return static_cast<unsigned>(count);
}

// How long the session's thread watches for a job to be ready before it sleeps: most waits are
// shorter, and a thread put to sleep costs both threads more than the watch (waking it is a system
// call on one side and a reschedule on the other).
constexpr std::chrono::microseconds kWatchBeforeSleep{60};

// True once job_stage reaches stage within kWatchBeforeSleep.
bool WatchFor(const std::atomic<int>& job_stage, int stage) {
  const auto until = std::chrono::steady_clock::now() + kWatchBeforeSleep;
  for (unsigned round = 1;; ++round) {
    if (job_stage.load(std::memory_order_acquire) >= stage) return true;
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#endif
    if (round % 64 == 0 && std::chrono::steady_clock::now() > until) return false;
  }
}

// Produces the whole text into the channel; its end carries the result or the exception.
void ProduceInto(MessageText& text, TextChannel& channel) {
  std::int32_t result = 0;
  std::exception_ptr error;
  try {
    result = text.WriteTo(channel);
  } catch (const TextChannelClosed&) {
    // The writing side let go of the text: nothing more is wanted of it.
  } catch (...) {
    error = std::current_exception();
  }
  channel.Finish(result, error);
}

}  // namespace

unsigned MessageWorkerCount() {
  // Trace lines written from several threads would no longer follow the work in order.
  if (const char* trace = std::getenv("PST2XMZ_TRACE"); trace && *trace) return 1;
  if (auto wanted = WorkersFromEnvironment()) return *wanted;
  return std::clamp(std::thread::hardware_concurrency(), 1u, kMaxMessageWorkers);
}

// What one thread found for one row. On a worker, the fields up to `header` are written before the
// job is published kReady (when its text fills the channel) and the rest before kDone; the
// session's thread reads each only after that. A job the session's thread composed itself keeps
// its whole message in `on_session`.
struct ParallelMessages::Job {
  explicit Job(const SRow& listed) : row(listed) {}
  const SRow& row;             // in the row set of its batch
  mapi::RowSetPtr batch_rows;  // the batch's row set, held by the batch's last job
  // Written under ParallelMessages::mutex_; read without it only while spinning.
  std::atomic<int> stage{kQueued};
  std::vector<std::string> traces;
  std::unique_ptr<ComposedMessage> on_session;
  std::optional<std::string> skip_reason;
  HRESULT result = S_OK;
  double time = 0.0;
  bool has_text = false;
  std::string header;
  TextChannel channel;
  bool read_props = false;     // the properties were read: its findings were taken
  bool findings_apart = true;  // composed on the session's thread: its findings were set aside
  std::string subject;
  std::string problems;
  std::exception_ptr failure;  // anything thrown outside composing, rethrown in order
};

// The text as the callback sees it: the header copied at once, the rest from the channel.
class ParallelMessages::ChannelText final : public MessageText {
 public:
  explicit ChannelText(Job& job) : job_(job) {}
  std::string_view Header() const override { return job_.header; }

 protected:
  std::int32_t Produce(MessageTextSink& sink) override { return job_.channel.DrainTo(sink); }

 private:
  Job& job_;
};

// Lets every job go when HandOverNext ends by an exception.
class ParallelMessages::AbandonOnThrow {
 public:
  explicit AbandonOnThrow(ParallelMessages& owner)
      : owner_(owner), exceptions_(std::uncaught_exceptions()) {}
  ~AbandonOnThrow() {
    if (std::uncaught_exceptions() > exceptions_) owner_.AbandonAll();
  }
  AbandonOnThrow(const AbandonOnThrow&) = delete;
  AbandonOnThrow& operator=(const AbandonOnThrow&) = delete;

 private:
  ParallelMessages& owner_;
  int exceptions_;
};

ParallelMessages::ParallelMessages(SessionState& state, const FolderContext& folder,
                                   unsigned workers)
    : state_(state),
      folder_(folder),
      window_(workers * kMessagesAheadPerWorker),
      watch_(std::thread::hardware_concurrency() > 1) {
  for (unsigned i = 1; i < workers; ++i) workers_.emplace_back([this] { WorkerLoop(); });
}

ParallelMessages::~ParallelMessages() {
  AbandonAll();
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  work_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

bool ParallelMessages::MayStartNext() const {
  return !abandoned_ && next_ < jobs_.size() && next_ < window_;
}

void ParallelMessages::WorkerLoop() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!quit_) {
    if (!MayStartNext()) {
      ++idle_workers_;
      work_.wait(lock);
      --idle_workers_;
      continue;
    }
    Job& job = *jobs_[next_++];
    lock.unlock();
    RunJob(job);
    lock.lock();
  }
}

void ParallelMessages::RunJob(Job& job) {
  try {
    ComposedMessage composed = OpenAndCompose(
        state_, job.row, [&job](std::string_view line) { job.traces.emplace_back(line); });
    job.skip_reason = std::move(composed.skip_reason);
    job.result = composed.result;
    job.time = composed.time;
    if (composed.text) {
      job.has_text = true;
      job.header = std::string(composed.text->Header());
      // A text longer than the channel holds is announced as soon as the channel is full; a
      // shorter one, with the job's end, in one hand-over.
      job.channel.AnnounceBeforeWaiting([this, &job] { Publish(job, kReady); });
      ProduceInto(*composed.text, job.channel);
    }
    // Released before the findings are taken, as on the session's thread.
    composed.text.reset();
    if (composed.values) {
      job.read_props = true;
      job.subject = SubjectOf(composed.values.get());
      job.problems = TakeIntegrityFindings(*composed.message);
    }
  } catch (...) {
    job.failure = std::current_exception();
  }
  Publish(job, kDone);
}

void ParallelMessages::ComposeOnSession(Job& job) {
  // An open that failed left what it met to the store: nothing to set aside then.
  bool apart = true;
  try {
    job.on_session = std::make_unique<ComposedMessage>(OpenAndCompose(
        state_, job.row, [&job](std::string_view line) { job.traces.emplace_back(line); }));
    if (job.on_session->message) apart = SetIntegrityFindingsAside(*job.on_session->message);
  } catch (...) {
    job.failure = std::current_exception();
    apart = false;
  }
  const std::lock_guard<std::mutex> lock(mutex_);
  job.stage = kDone;
  job.findings_apart = apart;
  if (apart) --session_jobs_not_apart_;
}

void ParallelMessages::Publish(Job& job, int stage) {
  bool awaited = false;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    job.stage = stage;
    awaited = awaited_ == &job;
  }
  if (awaited) progress_.notify_one();
}

void ParallelMessages::AwaitJob(std::unique_lock<std::mutex>& lock, const Job& job, int stage,
                                bool help) {
  while (job.stage < stage) {
    if (help && query_next_ && session_jobs_pending_ == 0 && jobs_.size() - next_ <= window_) {
      const std::function<void()> query_next = std::move(query_next_);
      query_next_ = nullptr;
      lock.unlock();
      query_next();
      lock.lock();
      continue;
    }
    if (help && session_jobs_not_apart_ == 0 && MayStartNext()) {
      ++session_jobs_pending_;
      ++session_jobs_not_apart_;  // until its findings are set aside
      Job& next = *jobs_[next_++];
      lock.unlock();
      ComposeOnSession(next);
      lock.lock();
      continue;
    }
    if (watch_) {
      lock.unlock();
      WatchFor(job.stage, stage);
      lock.lock();
      if (job.stage >= stage) continue;
    }
    awaited_ = &job;
    progress_.wait(lock);
    awaited_ = nullptr;
  }
}

void ParallelMessages::Add(mapi::RowSetPtr rows) {
  if (!rows || rows->cRows == 0) return;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (ULONG i = 0; i < rows->cRows; ++i) jobs_.push_back(std::make_unique<Job>(rows->aRow[i]));
    jobs_.back()->batch_rows = std::move(rows);
  }
  work_.notify_all();
}

ULONG ParallelMessages::HandOverNext(ULONG count, std::function<void()> query_next) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    query_next_ = std::move(query_next);
  }
  AbandonOnThrow guard(*this);
  ULONG handed = 0;
  for (; handed < count && !state_.stop_requested; ++handed) {
    Job* job = nullptr;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      if (jobs_.empty()) break;
      job = jobs_.front().get();
      AwaitJob(lock, *job, kReady, true);
      // A failure is known once the job is done; one announced early is still running.
      if (job->stage == kDone && job->failure) std::rethrow_exception(job->failure);
    }
    HandOverJob(*job);
    bool wake = false;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      // The batch's row set goes with its last job, after every job that refers to its rows.
      jobs_.pop_front();
      --next_;
      // Idle workers are woken once half the window is free again, not for every message.
      wake = idle_workers_ > 0 && MayStartNext() && window_ - next_ >= window_ / 2;
    }
    if (wake) work_.notify_all();
  }
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    query_next_ = nullptr;
  }
  if (state_.stop_requested) AbandonAll();
  return handed;
}

void ParallelMessages::HandOverJob(Job& job) {
  diag::DebugTrace("ProcessMessage(" + std::string(folder_.name) + ")");
  for (const std::string& line : job.traces) diag::DebugTrace(line);
  if (job.on_session) {
    HandOverComposed(state_, folder_, *job.on_session);
    job.on_session.reset();
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      --session_jobs_pending_;
      if (!job.findings_apart) --session_jobs_not_apart_;
    }
    diag::DebugTrace("ProcessRow() finished");
    return;
  }
  if (job.skip_reason) {
    CountSkippedMessages(state_.statistics, folder_.path, 1, std::move(*job.skip_reason));
  }
  bool handed_over = false;
  if (job.has_text) {
    ChannelText text(job);
    job.result = HandOver(state_, text, job.time, folder_, job.result, handed_over);
  }
  job.channel.Close();
  {
    std::unique_lock<std::mutex> lock(mutex_);
    AwaitJob(lock, job, kDone, true);
  }
  if (job.failure) std::rethrow_exception(job.failure);
  if (job.read_props) {
    CountDamage(state_, folder_, handed_over, std::move(job.subject), std::move(job.problems));
  }
  diag::DebugTrace("ProcessRow() finished");
}

void ParallelMessages::AbandonAll() {
  std::deque<std::unique_ptr<Job>> jobs;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    abandoned_ = true;
    for (std::size_t i = 0; i < next_; ++i) jobs_[i]->channel.Close();
    for (std::size_t i = 0; i < next_; ++i) AwaitJob(lock, *jobs_[i], kDone, false);
    session_jobs_pending_ = 0;
    session_jobs_not_apart_ = 0;
    query_next_ = nullptr;
    jobs.swap(jobs_);
    next_ = 0;
    abandoned_ = false;
  }
  // Messages composed here but never handed over: what reading them met is theirs, not the
  // store's, and is let go with them.
  for (const std::unique_ptr<Job>& job : jobs) {
    if (job->on_session && job->on_session->values) {
      job->on_session->text.reset();
      TakeIntegrityFindings(*job->on_session->message);
    }
  }
}

}  // namespace import_session
