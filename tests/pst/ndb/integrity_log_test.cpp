// The integrity log: findings counted and traced, taken by the reader of the object that met them,
// and kept for a later reader when nobody took them.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace pst::ndb
