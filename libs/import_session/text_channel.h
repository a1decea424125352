// A bounded hand-over of one message's text from the thread that produces it to the thread that
// writes it: the producer's pieces are gathered into chunks, at most a few chunks wait at a time
// (the producer waits for room), so memory stays flat whatever the text's length. The end of the
// text carries the producer's result, or the exception that broke it off, to the writing thread.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "libs/import_session/import_pst.h"

namespace import_session {

// Thrown to the producer by Write once the writing side has let go of the text.
class TextChannelClosed : public std::exception {
 public:
  const char* what() const noexcept override { return "the text is no longer wanted"; }
};

class TextChannel final : public MessageTextSink {
 public:
  // Large enough that a large attachment passes in few hand-overs: each may wake a thread.
  static constexpr std::size_t kChunkSize = 256 * 1024;
  static constexpr std::size_t kMaxWaitingChunks = 2;

  // Producer: `announce` is called once, on the producer's thread without the channel's lock, just
  // before the producer first has to wait for room: until then nobody needs to be told that text
  // is waiting, as a short text is complete before anyone reads it.
  void AnnounceBeforeWaiting(std::function<void()> announce) { announce_ = std::move(announce); }
  // Producer: appends a piece; waits while the channel is full. Throws TextChannelClosed once the
  // writing side has closed it.
  void Write(std::string_view piece) override;
  // Producer: the text is complete (result 0) or broke off (a negative result, or an exception).
  void Finish(std::int32_t result, std::exception_ptr error);

  // Writer: passes the text to sink chunk by chunk until it is complete; returns the producer's
  // result or rethrows its exception. Exceptions from sink pass to the caller.
  std::int32_t DrainTo(MessageTextSink& sink);
  // Writer: the rest of the text is not wanted; the producer's next Write throws. Safe to call at
  // any time, also after the text was drained.
  void Close();

 private:
  // Moves the gathered chunk to the waiting ones; waits for room. Requires lock on mutex_.
  void PushChunk(std::unique_lock<std::mutex>& lock);
  // Waits until there is room or the channel is closed. Requires lock on mutex_.
  void WaitForRoom(std::unique_lock<std::mutex>& lock);

  // The producer's own: filled and called without the lock.
  std::string gathering_;
  std::function<void()> announce_;

  std::mutex mutex_;  // guards everything below
  std::condition_variable changed_;
  std::deque<std::string> waiting_;
  bool finished_ = false;
  bool closed_ = false;
  std::int32_t result_ = 0;
  std::exception_ptr error_;
};

}  // namespace import_session
