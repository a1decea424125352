// The two files of the archive as the archive writer hands work to them: block bytes in chunks,
// then the block's record, or the block withdrawn. The work is done in the order handed over. With
// a thread of its own, full chunks are written there while the caller goes on producing the block;
// the end of a block waits for them and is done on the caller's thread, so that when a message has
// been handed over whole it is in the files or the failure is known, as without the thread. After
// a failure both files are cut back to the last whole record and everything later is dropped.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "driver/output_file.h"

namespace driver {

// Bytes of one chunk, and how many chunks may be filled or waiting at once: the bound of the queue.
inline constexpr std::size_t kChunkSize = 512 * 1024;
inline constexpr std::size_t kChunkCount = 4;

struct Chunk {
  std::unique_ptr<char[]> bytes;  // kChunkSize
  std::size_t size = 0;
};

class ArchiveFiles {
 public:
  enum class Mode { kCallersThread, kOwnThread };

  ArchiveFiles(std::unique_ptr<OutputFile> data, std::unique_ptr<OutputFile> index, Mode mode);
  // Waits for the work handed over, then ends the thread.
  ~ArchiveFiles();
  ArchiveFiles(const ArchiveFiles&) = delete;
  ArchiveFiles& operator=(const ArchiveFiles&) = delete;

  // Writes the index file's first line at once, before any other work. Throws FileError.
  void StartIndex(std::string_view line);

  // An empty chunk; waits while every chunk is filled or waiting to be written.
  Chunk TakeChunk();
  // Appends the chunk's bytes to the current block, on the thread when there is one.
  void AppendData(Chunk chunk);
  // Ends the current block with the chunk's bytes and appends its record to the index; returns when
  // both are written or the failure is known.
  void Commit(Chunk chunk, std::string record);
  // Drops the current block: the bytes of it already written are cut off. Returns when done.
  void Withdraw(Chunk chunk);
  // Returns once everything handed over is done.
  void Wait();

  // True once a write has failed; Failure() then names the file and the system's reason.
  bool failed() const { return failed_.load(std::memory_order_acquire); }
  const std::string& Failure() const { return failure_; }

  // Wait, then close the file; a failure to close is a failure to write (FileError).
  void CloseIndex();
  void CloseData();

 private:
  enum class Step { kData, kCommit, kWithdraw };
  struct Work {
    Step step;
    Chunk chunk;
    std::string record;
  };

  void HandOver(Work work);
  void Run();
  void Do(Work& work);
  void CommitRecord(const std::string& record);
  void Fail(const OutputFile& file, std::error_code error);
  void CutBack(OutputFile& file, std::uint64_t length);
  void ReturnChunk(Chunk chunk);
  void Close(std::unique_ptr<OutputFile>& file);

  std::unique_ptr<OutputFile> data_;
  std::unique_ptr<OutputFile> index_;
  // Lengths of the files up to their last whole record; only the worker touches them.
  std::uint64_t data_length_ = 0;
  std::uint64_t index_length_ = 0;
  std::uint64_t block_length_ = 0;  // bytes of the current block written so far
  std::string failure_;             // written by the worker before failed_ is set, never after
  std::atomic<bool> failed_{false};

  std::mutex mutex_;
  // The worker waits on work_ for work or the end; the caller waits on done_ for a free chunk or
  // for the queue to empty. Each side wakes only the other, so a block committed on the caller's
  // thread does not wake an idle worker.
  std::condition_variable work_;
  std::condition_variable done_;
  std::deque<Work> queue_;          // guarded by mutex_
  std::vector<Chunk> free_chunks_;  // guarded by mutex_
  std::size_t chunks_made_ = 0;     // guarded by mutex_
  bool busy_ = false;               // guarded by mutex_: the worker holds a piece of work
  bool ending_ = false;             // guarded by mutex_
  std::thread worker_;              // absent on the caller's thread
};

}  // namespace driver
