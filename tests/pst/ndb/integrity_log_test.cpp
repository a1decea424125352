// The integrity log: findings counted and traced, taken by the reader of the object that met them,
// and kept for a later reader when nobody took them.
#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/pst/ndb/integrity_log.h"

namespace pst::ndb {
namespace {

TEST(IntegrityLog, FindingsAreTakenByTheWindowThatMetThem) {
  std::vector<std::string> traced;
  IntegrityLog log([&](const std::string& line) { traced.push_back(line); });
  log.ChecksumMismatch("node B-tree page 0x10");  // before any object: left for TakeAll
  const std::uint64_t message = log.position();
  log.ChecksumMismatch("block 0x20");
  log.Lost("the attachment table could not be read: block 0x24 is missing");

  const IntegrityFindings taken = log.TakeSince(message);
  EXPECT_EQ(taken.count, 2u);
  EXPECT_EQ(taken.Summary(),
            "block 0x20: checksum mismatch; the attachment table could not be read: block 0x24 is "
            "missing");
  EXPECT_TRUE(log.TakeSince(message).empty());  // taken once

  const IntegrityFindings rest = log.TakeAll();
  EXPECT_EQ(rest.count, 1u);
  EXPECT_EQ(rest.Summary(), "node B-tree page 0x10: checksum mismatch");
  EXPECT_TRUE(log.TakeAll().empty());

  EXPECT_EQ(traced.size(), 3u);
  const IntegrityCounts counts = log.counts();
  EXPECT_EQ(counts.checksum_mismatches, 2u);
  EXPECT_EQ(counts.losses, 1u);
}

TEST(IntegrityLog, ManyFindingsAreAllCountedWithTheFirstOnesShown) {
  IntegrityLog log(nullptr);
  const std::uint64_t from = log.position();
  const std::size_t many = IntegrityLog::kMaxPending + 10;
  for (std::size_t i = 0; i < many; ++i) log.Warning("finding " + std::to_string(i));
  const IntegrityFindings taken = log.TakeSince(from);
  EXPECT_EQ(taken.count, many);
  ASSERT_EQ(taken.texts.size(), IntegrityFindings::kMaxTakenTexts);
  EXPECT_EQ(taken.texts.front(), "finding 10");  // the oldest texts were let go, not their count
  const std::string summary = taken.Summary();
  EXPECT_NE(summary.find("; " + std::to_string(many - IntegrityFindings::kMaxTakenTexts) + " more"),
            std::string::npos)
      << summary;
  EXPECT_TRUE(log.TakeAll().empty());
}

// Runs steps on a second thread, each when the test hands over the turn, so that the two threads'
// findings interleave in a fixed order. (A mutex and a condition variable: the C++ semaphores of
// the 32-bit Windows runtime never wake a waiter under Wine.)
class OtherReader {
 public:
  OtherReader() : thread_([this] { Serve(); }) {}
  ~OtherReader() {
    Run(nullptr);
    thread_.join();
  }
  // Runs step on the other thread and waits until it is done.
  void Run(std::function<void()> step) {
    std::unique_lock<std::mutex> lock(mutex_);
    step_ = std::move(step);
    pending_ = true;
    turn_.notify_all();
    turn_.wait(lock, [this] { return !pending_; });
  }

 private:
  void Serve() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      turn_.wait(lock, [this] { return pending_; });
      const bool last = !step_;
      if (step_) step_();
      pending_ = false;
      turn_.notify_all();
      if (last) return;
    }
  }

  std::mutex mutex_;
  std::condition_variable turn_;
  std::function<void()> step_;  // guarded by mutex_
  bool pending_ = false;        // a step waits to be run; guarded by mutex_
  std::thread thread_;          // last: started once everything above is ready
};

TEST(IntegrityLog, EachThreadTakesOnlyWhatItMet) {
  IntegrityLog log(nullptr);
  OtherReader other;
  const std::uint64_t from = log.position();
  log.ChecksumMismatch("block 0x10");
  other.Run([&log] { log.ChecksumMismatch("block 0x80"); });
  log.Lost("block 0x14 is missing");
  other.Run([&log] { log.ChecksumMismatch("block 0x84"); });
  log.ChecksumMismatch("block 0x10");

  const IntegrityFindings mine = log.TakeOwnSince(from);
  EXPECT_EQ(mine.count, 3u);
  EXPECT_EQ(mine.Summary(), "block 0x10: checksum mismatch; block 0x14 is missing; 1 more");
  EXPECT_TRUE(log.TakeOwnSince(from).empty());

  IntegrityFindings theirs;
  other.Run([&] { theirs = log.TakeOwnSince(from); });
  EXPECT_EQ(theirs.count, 2u);
  EXPECT_EQ(theirs.Summary(), "block 0x80: checksum mismatch; block 0x84: checksum mismatch");
  EXPECT_TRUE(log.TakeAll().empty());
}

// One thread reads message A, then B, then a message that cannot be opened, then A again and B
// again: each takes exactly what reading it met, as one take in the order met ("more" counted over
// both parts); what the failed open met, and a shared page however often read, is left to the
// store.
TEST(IntegrityLog, ObjectsReadInTurnOnOneThreadKeepTheirFindingsApart) {
  std::vector<std::string> traced;
  IntegrityLog log([&](const std::string& line) { traced.push_back(line); });
  const std::uint64_t a = log.position();
  for (int i = 1; i <= 6; ++i) log.Warning("A" + std::to_string(i));
  for (int read = 0; read < 3; ++read) log.SharedPageSignatureMismatch(0x4400, "page 0x44");
  const std::uint64_t a_holder = log.NewHolder();
  log.SetAside(a, a_holder);
  const std::uint64_t b = log.position();
  log.Warning("B1");
  const std::uint64_t b_holder = log.NewHolder();
  EXPECT_NE(a_holder, b_holder);
  log.SetAside(b, b_holder);
  const std::uint64_t failed = log.position();
  log.Lost("the message could not be opened");
  log.Disown(failed);
  for (int i = 7; i <= 11; ++i) log.Warning("A" + std::to_string(i));

  const IntegrityFindings of_a = log.TakeOwnSince(a, a_holder);
  EXPECT_EQ(of_a.count, 11u);
  EXPECT_EQ(of_a.Summary(), "A1; A2; A3; A4; A5; A6; A7; A8; 3 more");
  log.Warning("B2");
  EXPECT_EQ(log.TakeOwnSince(b, b_holder).Summary(), "B1; B2");
  EXPECT_EQ(log.TakeAll().Summary(),
            "page 0x44: signature mismatch; the message could not be opened");
  EXPECT_EQ(traced.size(), 15u);  // the shared page once
  EXPECT_EQ(log.counts().signature_mismatches, 1u);
}

TEST(IntegrityLog, WhatAnotherThreadMetStaysPendingInOrder) {
  IntegrityLog log(nullptr);
  OtherReader other;
  other.Run([&log] { log.Warning("first"); });
  const std::uint64_t from = log.position();
  log.Warning("mine");
  other.Run([&log] { log.Warning("second"); });
  EXPECT_EQ(log.TakeOwnSince(from).Summary(), "mine");
  EXPECT_EQ(log.TakeAll().Summary(), "first; second");
}

}  // namespace
}  // namespace pst::ndb
