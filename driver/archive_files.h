// The two files of the archive as the archive writer hands work to them: the bytes of one block
// after another, each block ended by its record or withdrawn. Blocks are gathered into chunks and
// their records with them; a chunk goes to the data file in one write once it is full (or on
// Flush), followed by the records of the blocks that end in it, in one write to the index file.
// With a thread of its own the chunks are written there while the caller composes the next
// messages. A failure is known once the chunk it happened in has been written: at a later block, or
// at the latest when Flush returns. After a failure both files hold exactly the whole records that
// fit, as if each block had been written alone, and everything later is dropped.
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
  std::unique_ptr<char[]> bytes;  // kChunkSize, or none
  std::size_t size = 0;
};

class ArchiveFiles {
 public:
  enum class Mode { kCallersThread, kOwnThread };

  ArchiveFiles(std::unique_ptr<OutputFile> data, std::unique_ptr<OutputFile> index, Mode mode);
  // Waits for the work handed over, then ends the thread. Blocks not flushed are dropped.
  ~ArchiveFiles();
  ArchiveFiles(const ArchiveFiles&) = delete;
  ArchiveFiles& operator=(const ArchiveFiles&) = delete;

  // Writes the index file's first line at once, before any other work. Throws FileError.
  void StartIndex(std::string_view line);

  // Appends bytes to the current block; may wait while every chunk is full or being written.
  // Stops short once the files have failed.
  void Write(std::string_view piece);
  // Ends the current block with its record.
  void Commit(std::string_view record);
  // Drops the current block: the bytes of it already written are cut off.
  void Withdraw();
  // Writes out every block ended so far with its record; returns once they are in the files or
  // the failure is known.
  void Flush();

  // True once a write has failed; Failure() then names the file and the system's reason.
  bool failed() const { return failed_.load(std::memory_order_acquire); }
  const std::string& Failure() const { return failure_; }

  // Flush, then close the file; a failure to close is a failure to write (FileError).
  void CloseIndex();
  void CloseData();

 private:
  // Where a block ends in its chunk's bytes, and where its record ends in the chunk's records.
  struct BlockEnd {
    std::size_t data;
    std::size_t record;
  };
  enum class Step { kData, kWithdraw };
  struct Work {
    Step step;
    Chunk chunk;
    std::string records;
    std::vector<BlockEnd> ends;
  };

  // The caller's side.
  Chunk TakeChunk();
  void HandOverOpenChunk();
  // Bytes of open_ that belong to ended blocks.
  std::size_t Committed() const;
  void HandOver(Work work);
  void Wait();

  // The writing side.
  void Run();
  void Do(Work& work);
  void WriteChunk(const Work& work);
  void WriteBlockByBlock(const Work& work, std::uint64_t start);
  void CutOffOpenBlock();
  void Fail(const OutputFile& file, std::error_code error);
  // Fail, then cut both files back to their last whole record.
  void FailAndCutBack(const OutputFile& file, std::error_code error);
  // Returns false, and adds the reason to the failure, when the file could not be cut back.
  bool CutBack(OutputFile& file, std::uint64_t length);
  void ReturnChunk(Chunk chunk);
  void Close(std::unique_ptr<OutputFile>& file);

  std::unique_ptr<OutputFile> data_;
  std::unique_ptr<OutputFile> index_;

  // The chunk being filled, the records of the blocks that end in it, and the state of the
  // current block; only the caller touches them.
  Chunk open_;
  std::string open_records_;
  std::vector<BlockEnd> open_ends_;
  bool spanning_ = false;  // the current block has bytes in a chunk handed over

  // Lengths of the files; only the writing side touches them. written_ is where the next chunk
  // goes; data_length_ and index_length_ end at the last whole record.
  std::uint64_t written_ = 0;
  std::uint64_t data_length_ = 0;
  std::uint64_t index_length_ = 0;
  std::string failure_;  // written by the writing side before failed_ is set, never after
  std::atomic<bool> failed_{false};

  std::mutex mutex_;
  // The worker waits on work_ for work or the end; the caller waits on done_ for a free chunk or
  // for the queue to empty. Each side wakes only the other.
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
