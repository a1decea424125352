// The archive files: blocks gathered into chunks on the caller's side, written a chunk at a time on
// the writing side, one piece of work at a time and in order. Chunks go round a fixed pool, which
// bounds how far composing may run ahead of writing.
#include "driver/archive_files.h"

#include <algorithm>
#include <cstring>

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

void ArchiveFiles::Write(std::string_view piece) {
  while (!piece.empty()) {
    if (!open_.bytes) open_.bytes = TakeChunk().bytes;
    const std::size_t n = std::min(piece.size(), kChunkSize - open_.size);
    std::memcpy(open_.bytes.get() + open_.size, piece.data(), n);
    open_.size += n;
    piece.remove_prefix(n);
    if (open_.size == kChunkSize) {
      HandOverOpenChunk();
      if (failed()) return;
    }
  }
}

void ArchiveFiles::Commit(std::string_view record) {
  open_records_ += record;
  open_ends_.push_back({open_.size, open_records_.size()});
  spanning_ = false;
}

void ArchiveFiles::Withdraw() {
  if (!spanning_) {
    open_.size = Committed();
    return;
  }
  // Everything in the open chunk is the block's; the rest of it is in the files already.
  open_.size = 0;
  spanning_ = false;
  HandOver({Step::kWithdraw, {}, {}, {}});
}

void ArchiveFiles::Flush() {
  if (open_.size > 0 || !open_ends_.empty()) HandOverOpenChunk();
  Wait();
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

void ArchiveFiles::HandOverOpenChunk() {
  spanning_ = open_.size > Committed();
  HandOver({Step::kData, std::move(open_), std::move(open_records_), std::move(open_ends_)});
  open_ = {};
  open_records_.clear();
  open_ends_.clear();
}

std::size_t ArchiveFiles::Committed() const {
  return open_ends_.empty() ? 0 : open_ends_.back().data;
}

void ArchiveFiles::HandOver(Work work) {
  if (!worker_.joinable()) {
    Do(work);
    return;
  }
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(work));
  }
  work_.notify_one();
}

void ArchiveFiles::Wait() {
  if (!worker_.joinable()) return;
  std::unique_lock lock(mutex_);
  done_.wait(lock, [this] { return queue_.empty() && !busy_; });
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
  if (!failed()) {
    if (work.step == Step::kWithdraw) {
      CutOffOpenBlock();
    } else {
      WriteChunk(work);
    }
    if (!failure_.empty()) failed_.store(true, std::memory_order_release);
  }
  ReturnChunk(std::move(work.chunk));
}

// A chunk and its records go in one write each. When either write fails, part of them may be in
// the files: both are cut back to where the chunk began and it is written again a block at a time,
// so that every block that fits lands with its record, as when each block is written alone.
void ArchiveFiles::WriteChunk(const Work& work) {
  const std::uint64_t start = written_;
  const std::string_view bytes(work.chunk.bytes.get(), work.chunk.size);
  const OutputFile* file = data_.get();
  std::error_code error = data_->Append({bytes});
  if (!error) {
    file = index_.get();
    error = index_->Append({work.records});
  }
  if (!error) {
    written_ = start + bytes.size();
    if (!work.ends.empty()) data_length_ = start + work.ends.back().data;
    index_length_ += work.records.size();
    return;
  }
  Fail(*file, error);
  if (CutBack(*index_, index_length_) && CutBack(*data_, start)) {
    failure_.clear();
    WriteBlockByBlock(work, start);
  } else {
    CutBack(*data_, data_length_);
  }
}

void ArchiveFiles::FailAndCutBack(const OutputFile& file, std::error_code error) {
  Fail(file, error);
  CutBack(*index_, index_length_);
  CutBack(*data_, data_length_);
}

void ArchiveFiles::WriteBlockByBlock(const Work& work, std::uint64_t start) {
  const std::string_view bytes(work.chunk.bytes.get(), work.chunk.size);
  const std::string_view records(work.records);
  BlockEnd from{0, 0};
  for (const BlockEnd& end : work.ends) {
    if (std::error_code error = data_->Append({bytes.substr(from.data, end.data - from.data)})) {
      return FailAndCutBack(*data_, error);
    }
    if (std::error_code error =
            index_->Append({records.substr(from.record, end.record - from.record)})) {
      return FailAndCutBack(*index_, error);
    }
    data_length_ = start + end.data;
    index_length_ += end.record - from.record;
    from = end;
  }
  if (std::error_code error = data_->Append({bytes.substr(from.data)})) {
    return FailAndCutBack(*data_, error);
  }
  written_ = start + bytes.size();
}

// The bytes written after the last whole record belong to the block being withdrawn.
void ArchiveFiles::CutOffOpenBlock() {
  if (written_ > data_length_) CutBack(*data_, data_length_);
  written_ = data_length_;
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

bool ArchiveFiles::CutBack(OutputFile& file, std::uint64_t length) {
  std::error_code error = file.Truncate(length);
  if (!error) return true;
  if (failure_.empty()) failure_ = CannotWriteFileText(file.path(), error.message());
  failure_ += " The file \"" + file.path() +
              "\" could not be cut back to its last whole record: " + error.message();
  return false;
}

void ArchiveFiles::CloseIndex() {
  Flush();
  Close(index_);
}

void ArchiveFiles::CloseData() {
  Flush();
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
