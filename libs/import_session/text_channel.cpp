// Chunks of one message's text passed from its producing thread to its writing thread.
#include "libs/import_session/text_channel.h"

#include <utility>

namespace import_session {

void TextChannel::Write(std::string_view piece) {
  while (!piece.empty()) {
    const std::size_t n = std::min(piece.size(), kChunkSize - gathering_.size());
    gathering_.append(piece.substr(0, n));
    piece.remove_prefix(n);
    if (gathering_.size() == kChunkSize) {
      std::unique_lock<std::mutex> lock(mutex_);
      PushChunk(lock);
    }
  }
}

void TextChannel::WaitForRoom(std::unique_lock<std::mutex>& lock) {
  if (announce_ && !closed_ && waiting_.size() >= kMaxWaitingChunks) {
    const std::function<void()> announce = std::move(announce_);
    announce_ = nullptr;
    lock.unlock();
    announce();
    lock.lock();
  }
  changed_.wait(lock, [this] { return closed_ || waiting_.size() < kMaxWaitingChunks; });
}

void TextChannel::PushChunk(std::unique_lock<std::mutex>& lock) {
  WaitForRoom(lock);
  if (closed_) {
    gathering_.clear();
    throw TextChannelClosed();
  }
  waiting_.push_back(std::move(gathering_));
  // A text that fills one chunk usually fills more: the next one gets its room at once.
  gathering_ = std::string();
  gathering_.reserve(kChunkSize);
  changed_.notify_all();
}

void TextChannel::Finish(std::int32_t result, std::exception_ptr error) {
  std::unique_lock<std::mutex> lock(mutex_);
  // What was written before a failure is passed on too, as it would have been written directly.
  if (!gathering_.empty()) {
    WaitForRoom(lock);
    if (!closed_) waiting_.push_back(std::move(gathering_));
    gathering_ = std::string();
  }
  finished_ = true;
  result_ = result;
  error_ = std::move(error);
  changed_.notify_all();
}

std::int32_t TextChannel::DrainTo(MessageTextSink& sink) {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return finished_ || !waiting_.empty(); });
    if (waiting_.empty()) break;
    std::string chunk = std::move(waiting_.front());
    waiting_.pop_front();
    changed_.notify_all();
    lock.unlock();
    sink.Write(chunk);
    lock.lock();
  }
  if (error_) std::rethrow_exception(error_);
  return result_;
}

void TextChannel::Close() {
  const std::lock_guard<std::mutex> lock(mutex_);
  closed_ = true;
  waiting_.clear();
  changed_.notify_all();
}

}  // namespace import_session
