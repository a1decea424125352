// Damage that does not stop reading (checksum and signature mismatches on structurally sound pages
// and blocks, repaired structures) and data the layers above could not read: counted, traced
// through the sink the database was opened with, and kept as findings until a reader takes them.
//
// Findings are numbered in the order they are met. A reader of one object notes position() before
// it starts and later takes every finding met since (TakeSince): what reading that object met. What
// no object took stays pending (TakeAll), so damage met outside any object is still reported.
//
// Several threads may read different objects of one file at once, each reading its object on one
// thread: a finding remembers the thread that met it, and TakeOwnSince takes only the calling
// thread's, so that one object's reader never takes what another thread met meanwhile. With one
// thread it takes exactly what TakeSince does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pst::ndb {

using TraceSink = std::function<void(const std::string&)>;

struct IntegrityCounts {
  std::uint64_t checksum_mismatches = 0;   // page or block CRC differs; data used
  std::uint64_t signature_mismatches = 0;  // page or block wSig differs; data used
  std::uint64_t other_warnings = 0;        // e.g. a data tree whose recorded total is wrong
  std::uint64_t losses = 0;                // data an object has that could not be read
};

// Findings taken by one reader: how many, and the text of the first ones.
struct IntegrityFindings {
  std::uint64_t count = 0;
  std::vector<std::string> texts;  // at most kMaxTakenTexts, oldest first

  static constexpr std::size_t kMaxTakenTexts = 8;
  bool empty() const { return count == 0; }
  // The texts joined by "; ", with the number not shown when there were more.
  std::string Summary() const;
};

class IntegrityLog {
 public:
  // Pending findings whose text is kept; older ones beyond it are still counted.
  static constexpr std::size_t kMaxPending = 4096;

  explicit IntegrityLog(TraceSink sink) : sink_(std::move(sink)) {}

  void ChecksumMismatch(const std::string& what) {
    Note(counts_.checksum_mismatches, what + ": checksum mismatch");
  }
  void SignatureMismatch(const std::string& what) {
    Note(counts_.signature_mismatches, what + ": signature mismatch");
  }
  void Warning(const std::string& what) { Note(counts_.other_warnings, what); }
  // Data an object says it has that could not be found or read.
  void Lost(const std::string& what) { Note(counts_.losses, what); }

  IntegrityCounts counts() const;
  // The number of the next finding.
  std::uint64_t position() const;
  // Takes the pending findings numbered from `from` on.
  IntegrityFindings TakeSince(std::uint64_t from) { return Take(from, nullptr); }
  // The same, of those met on the calling thread only.
  IntegrityFindings TakeOwnSince(std::uint64_t from) {
    const std::thread::id self = std::this_thread::get_id();
    return Take(from, &self);
  }
  // Takes every pending finding.
  IntegrityFindings TakeAll() { return TakeSince(0); }

 private:
  struct Pending {
    std::uint64_t number;
    std::string text;
    std::thread::id noted_by;
  };

  void Note(std::uint64_t& counter, std::string text);
  // Takes the pending findings from `from` on; only those noted by *thread unless it is null.
  IntegrityFindings Take(std::uint64_t from, const std::thread::id* thread);

  TraceSink sink_;
  // Guards every member below: findings are noted and taken from any thread.
  mutable std::mutex mu_;
  IntegrityCounts counts_;
  std::uint64_t next_ = 0;
  std::deque<Pending> pending_;      // in number order; only findings nobody took
  std::uint64_t dropped_ = 0;        // pending findings whose text was let go
  std::uint64_t dropped_below_ = 0;  // every dropped finding is numbered below this
};

}  // namespace pst::ndb
