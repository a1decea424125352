// The archive files' worker: one piece of work at a time, in order; chunks go round a fixed pool,
// which bounds how far composing may run ahead of writing.
#include "driver/archive_files.h"

#include "driver/export_error.h"

namespace driver {

ArchiveFiles::ArchiveFiles(std::unique_ptr<OutputFile> data, std::unique_ptr<OutputFile> index,
                           Mode mode)
    : data_(std::move(data)), index_(std::move(index)) {
  if (mode == Mode::kOwnThread) worker_ = std::thread([this] { Run(); });
}

ArchiveFiles::~ArchiveFiles() {
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  work_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void ArchiveFiles::StartIndex(std::string_view line) {
  if (std::error_code error = index_->Append({line}))
    throw FileError(CannotWriteFileText(index_->path(), error.message()));
  index_length_ = line.size();
}

Chunk ArchiveFiles::TakeChunk() {
  std::unique_lock lock(mutex_);
  done_.wait(lock, [this] { return !free_chunks_.empty() || chunks_made_ < kChunkCount; });
  if (free_chunks_.empty()) {
    ++chunks_made_;
    return {std::make_unique_for_overwrite<char[]>(kChunkSize), 0};
  }
  Chunk chunk = std::move(free_chunks_.back());
  free_chunks_.pop_back();
  chunk.size = 0;
  return chunk;
}

void ArchiveFiles::AppendData(Chunk chunk) { HandOver({Step::kData, std::move(chunk), {}}); }

void ArchiveFiles::Commit(Chunk chunk, std::string record) {
  HandOver({Step::kCommit, std::move(chunk), std::move(record)});
}

void ArchiveFiles::Withdraw(Chunk chunk) { HandOver({Step::kWithdraw, std::move(chunk), {}}); }

void ArchiveFiles::Wait() {
  if (!worker_.joinable()) return;
  std::unique_lock lock(mutex_);
  done_.wait(lock, [this] { return queue_.empty() && !busy_; });
}

void ArchiveFiles::HandOver(Work work) {
  if (!worker_.joinable() || work.step != Step::kData) {
    Wait();
    Do(work);
    return;
  }
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(work));
  }
  work_.notify_one();
}

void ArchiveFiles::Run() {
  for (;;) {
    Work work;
    {
      std::unique_lock lock(mutex_);
      work_.wait(lock, [this] { return !queue_.empty() || ending_; });
      if (queue_.empty()) return;
      work = std::move(queue_.front());
      queue_.pop_front();
      busy_ = true;
    }
    Do(work);
    {
      std::lock_guard lock(mutex_);
      busy_ = false;
    }
    done_.notify_all();
  }
}

void ArchiveFiles::Do(Work& work) {
  const std::string_view bytes(work.chunk.bytes.get(), work.chunk.size);
  if (!failed()) {
    if (work.step == Step::kWithdraw) {
      if (block_length_ > 0) CutBack(*data_, data_length_);
      block_length_ = 0;
    } else if (std::error_code error = bytes.empty() ? std::error_code{} : data_->Append({bytes})) {
      Fail(*data_, error);
      CutBack(*data_, data_length_);
    } else {
      block_length_ += bytes.size();
      if (work.step == Step::kCommit) CommitRecord(work.record);
    }
    if (!failure_.empty()) failed_.store(true, std::memory_order_release);
  }
  ReturnChunk(std::move(work.chunk));
}

void ArchiveFiles::CommitRecord(const std::string& record) {
  if (std::error_code error = index_->Append({record})) {
    Fail(*index_, error);
    CutBack(*index_, index_length_);
    CutBack(*data_, data_length_);
    return;
  }
  data_length_ += block_length_;
  index_length_ += record.size();
  block_length_ = 0;
}

void ArchiveFiles::ReturnChunk(Chunk chunk) {
  if (!chunk.bytes) return;
  {
    std::lock_guard lock(mutex_);
    free_chunks_.push_back(std::move(chunk));
  }
  done_.notify_all();
}

void ArchiveFiles::Fail(const OutputFile& file, std::error_code error) {
  failure_ = CannotWriteFileText(file.path(), error.message());
}

void ArchiveFiles::CutBack(OutputFile& file, std::uint64_t length) {
  if (std::error_code error = file.Truncate(length))
    failure_ += " The file \"" + file.path() +
                "\" could not be cut back to its last whole record: " + error.message();
}

void ArchiveFiles::CloseIndex() {
  Wait();
  Close(index_);
}

void ArchiveFiles::CloseData() {
  Wait();
  Close(data_);
}

void ArchiveFiles::Close(std::unique_ptr<OutputFile>& file) {
  if (!file) return;
  std::error_code error = file->Close();
  std::string path = file->path();
  file.reset();
  if (error) throw FileError(CannotWriteFileText(path, error.message()));
}

}  // namespace driver
