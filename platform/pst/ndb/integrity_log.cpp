// Counting, tracing and handing out integrity findings.
#include "platform/pst/ndb/integrity_log.h"

#include <algorithm>

namespace pst::ndb {

std::string IntegrityFindings::Summary() const {
  std::string text;
  for (const std::string& finding : texts) {
    if (!text.empty()) text += "; ";
    text += finding;
  }
  if (count > texts.size()) {
    text += (text.empty() ? "" : "; ") + std::to_string(count - texts.size()) + " more";
  }
  return text;
}

IntegrityCounts IntegrityLog::counts() const {
  std::lock_guard<std::mutex> lock(mu_);
  return counts_;
}

std::uint64_t IntegrityLog::position() const {
  std::lock_guard<std::mutex> lock(mu_);
  return next_;
}

void IntegrityLog::Note(std::uint64_t& counter, std::string text, std::uint64_t holder) {
  {
    std::lock_guard<std::mutex> lock(mu_);
    ++counter;
    if (pending_.size() == kMaxPending) {
      dropped_below_ = pending_.front().number + 1;
      pending_.pop_front();
      ++dropped_;
    }
    pending_.push_back({next_++, text, std::this_thread::get_id(), holder});
  }
  if (sink_) sink_(text);
}

void IntegrityLog::NoteShared(std::uint64_t& counter, std::uint64_t key, std::string text) {
  {
    std::lock_guard<std::mutex> lock(mu_);
    if (!shared_noted_.insert(key).second) return;
  }
  Note(counter, std::move(text), kNobody);
}

std::uint64_t IntegrityLog::NewHolder() {
  std::lock_guard<std::mutex> lock(mu_);
  return next_holder_++;
}

void IntegrityLog::SetAside(std::uint64_t from, std::uint64_t holder) {
  const std::thread::id self = std::this_thread::get_id();
  std::lock_guard<std::mutex> lock(mu_);
  auto first = std::lower_bound(pending_.begin(), pending_.end(), from,
                                [](const Pending& p, std::uint64_t n) { return p.number < n; });
  for (auto it = first; it != pending_.end(); ++it) {
    if (it->noted_by == self && it->holder == 0) it->holder = holder;
  }
}

IntegrityFindings IntegrityLog::Take(std::uint64_t from, const std::thread::id* thread,
                                     std::uint64_t holder) {
  std::lock_guard<std::mutex> lock(mu_);
  IntegrityFindings taken;
  auto first = std::lower_bound(pending_.begin(), pending_.end(), from,
                                [](const Pending& p, std::uint64_t n) { return p.number < n; });
  const auto theirs = [thread, holder](const Pending& p) {
    if (!thread) return false;
    if (p.holder != 0) return p.holder != holder;
    return p.noted_by != *thread;
  };
  // The findings taken move to the end, in number order; other threads' stay pending in order.
  const auto mine = std::stable_partition(first, pending_.end(), theirs);
  taken.count = static_cast<std::uint64_t>(pending_.end() - mine);
  // The same damage met again (a value read twice) is shown once and counted each time.
  for (auto it = mine;
       it != pending_.end() && taken.texts.size() < IntegrityFindings::kMaxTakenTexts; ++it) {
    if (std::find(taken.texts.begin(), taken.texts.end(), it->text) == taken.texts.end()) {
      taken.texts.push_back(std::move(it->text));
    }
  }
  pending_.erase(mine, pending_.end());
  // Texts let go may have belonged to this reader: counted here rather than lost.
  if (from < dropped_below_) {
    taken.count += dropped_;
    dropped_ = 0;
  }
  return taken;
}

}  // namespace pst::ndb
