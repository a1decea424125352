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
// thread it takes exactly what TakeSince does. A thread that reads several objects in turn, each
// object's work in more than one part, sets each part's findings aside for its object (SetAside),
// which then takes them with its own (TakeOwnSince with its holder); findings no object is to take
// are disowned and left for TakeAll.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>
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
  // The same mismatches on a page every reader shares (a B-tree page), which is read again
  // whenever it has left the cache: noted the first time only, and left for TakeAll, so that
  // neither the count nor the reader that takes it depends on which thread read it when.
  void SharedPageChecksumMismatch(std::uint64_t offset, const std::string& what) {
    NoteShared(counts_.checksum_mismatches, offset * 2, what + ": checksum mismatch");
  }
  void SharedPageSignatureMismatch(std::uint64_t offset, const std::string& what) {
    NoteShared(counts_.signature_mismatches, offset * 2 + 1, what + ": signature mismatch");
  }

  IntegrityCounts counts() const;
  // The number of the next finding.
  std::uint64_t position() const;
  // Takes the pending findings numbered from `from` on.
  IntegrityFindings TakeSince(std::uint64_t from) { return Take(from, nullptr); }
  // The same, of those met on the calling thread and not set aside, and of those set aside for
  // holder (when not 0), in number order.
  IntegrityFindings TakeOwnSince(std::uint64_t from, std::uint64_t holder = 0) {
    const std::thread::id self = std::this_thread::get_id();
    return Take(from, &self, holder);
  }
  // A number under which an object's findings are set aside; never 0.
  std::uint64_t NewHolder();
  // Sets the calling thread's findings from `from` on, not yet set aside, aside for holder: only
  // TakeOwnSince for that holder takes them, or TakeSince and TakeAll.
  void SetAside(std::uint64_t from, std::uint64_t holder);
  // The same for findings no object is to take: they are left for TakeAll.
  void Disown(std::uint64_t from) { SetAside(from, kNobody); }
  // Takes every pending finding.
  IntegrityFindings TakeAll() { return TakeSince(0); }

 private:
  static constexpr std::uint64_t kNobody = UINT64_MAX;

  struct Pending {
    std::uint64_t number;
    std::string text;
    std::thread::id noted_by;
    std::uint64_t holder = 0;  // set aside for: 0 for none
  };

  void Note(std::uint64_t& counter, std::string text, std::uint64_t holder = 0);
  // Notes text for TakeAll unless `key` was noted before.
  void NoteShared(std::uint64_t& counter, std::uint64_t key, std::string text);
  // Takes the pending findings from `from` on; unless thread is null, only those noted by *thread
  // and not set aside, and those set aside for holder.
  IntegrityFindings Take(std::uint64_t from, const std::thread::id* thread,
                         std::uint64_t holder = 0);

  TraceSink sink_;
  // Guards every member below: findings are noted and taken from any thread.
  mutable std::mutex mu_;
  IntegrityCounts counts_;
  std::uint64_t next_ = 0;
  std::uint64_t next_holder_ = 1;
  std::unordered_set<std::uint64_t> shared_noted_;  // keys NoteShared has noted
  std::deque<Pending> pending_;                     // in number order; only findings nobody took
  std::uint64_t dropped_ = 0;                       // pending findings whose text was let go
  std::uint64_t dropped_below_ = 0;                 // every dropped finding is numbered below this
};

}  // namespace pst::ndb
