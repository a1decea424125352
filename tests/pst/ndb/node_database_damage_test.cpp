// Damaged copies of real files: truncated, zeroed, bit-flipped. Whatever the damage, opening and a
// full walk end with values or Status results; they never crash or hang (run these under the
// sanitizers), and damage reported at open names the header or the page concerned.
#include "platform/pst/ndb/node_database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "node_walk.h"
#include "tests/support/temp_dir.h"
#include "tests/support/whole_file.h"

namespace pst::ndb {
namespace {

const std::filesystem::path kSamples = PST2XMZ_SAMPLES_DIR;

using test_support::ReadFileBytes;

class DamagedCopy : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kSamples)) GTEST_SKIP() << "no sample files";
    original_ = ReadFileBytes((kSamples / GetParam()).string());
    ASSERT_FALSE(original_.empty());
  }
  // Opens the image and walks it; returns the open status.
  Status OpenAndWalk(std::vector<std::byte> image, testing::WalkSummary* walk = nullptr) {
    auto db = NodeDatabase::Open(FileSource::FromMemory(std::move(image)));
    if (!db.ok()) return db.status();
    auto summary = testing::WalkAll(**db);
    if (walk) *walk = summary;
    return Status::Ok();
  }
  std::vector<std::byte> original_;
};

TEST_P(DamagedCopy, TruncationAnywhereFailsCleanly) {
  const std::size_t n = original_.size();
  for (std::size_t cut :
       {std::size_t{0}, std::size_t{4}, std::size_t{100}, std::size_t{511}, std::size_t{563},
        std::size_t{4096}, n / 8, n / 4, n / 2, n - 4096, n - 1}) {
    auto image = original_;
    image.resize(cut);
    testing::WalkSummary walk;
    Status s = OpenAndWalk(std::move(image), &walk);
    if (cut < 600) {
      ASSERT_FALSE(s.ok()) << cut;
      EXPECT_TRUE(s.code() == ErrorCode::kNotPst || s.code() == ErrorCode::kCorrupt) << s.message();
    } else if (s.ok() && walk.failures > 0) {
      // Whatever lay beyond the cut is reported as such.
      EXPECT_FALSE(walk.first_failure.empty());
    }
  }
}

TEST_P(DamagedCopy, TruncatedFileIsReportedAtOpen) {
  auto image = original_;
  image.resize(image.size() - 512);
  std::vector<std::string> traces;
  NodeDatabaseOptions options;
  options.trace = [&](const std::string& t) { traces.push_back(t); };
  auto db = NodeDatabase::Open(FileSource::FromMemory(std::move(image)), options);
  if (!db.ok()) GTEST_SKIP() << "a B-tree root lay in the cut: " << db.status().message();
  EXPECT_EQ((*db)->integrity().other_warnings, 1u);
  ASSERT_FALSE(traces.empty());
  EXPECT_NE(traces[0].find("file truncated"), std::string::npos) << traces[0];
}

TEST_P(DamagedCopy, ZeroedHeaderIsNotAPersonalFoldersFile) {
  auto image = original_;
  std::fill(image.begin(), image.begin() + 564, std::byte{0});
  Status s = OpenAndWalk(std::move(image));
  EXPECT_EQ(s.code(), ErrorCode::kNotPst);
}

TEST_P(DamagedCopy, ZeroedRegionsNeverCrashTheWalk) {
  const std::size_t step = original_.size() / 16;
  std::size_t damaged_walks = 0;
  for (std::size_t at = 4096; at + 4096 <= original_.size(); at += step) {
    auto image = original_;
    std::fill(image.begin() + static_cast<std::ptrdiff_t>(at),
              image.begin() + static_cast<std::ptrdiff_t>(at + 4096), std::byte{0});
    testing::WalkSummary walk;
    Status s = OpenAndWalk(std::move(image), &walk);
    damaged_walks += !s.ok() || !walk.visit.ok() || walk.failures > 0;
  }
  EXPECT_GT(damaged_walks, 0u) << "zeroing 4 KiB of used space must be noticed somewhere";
}

TEST_P(DamagedCopy, RandomBitFlipsNeverCrashTheWalk) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 60; ++round) {
    auto image = original_;
    for (int flip = 0; flip < 8; ++flip) {
      std::size_t at = 564 + rng() % (image.size() - 564);
      image[at] ^= static_cast<std::byte>(1u << (rng() % 8));
    }
    (void)OpenAndWalk(std::move(image));
  }
}

TEST_P(DamagedCopy, TruncatedFileOnDiskIsReadThroughPread) {
  const test_support::TempDir dir;
  const std::string path = dir / "cut.pst";
  {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(original_.data()),
              static_cast<std::streamsize>(original_.size() / 2));
  }
  auto db = NodeDatabase::Open(path);
  if (db.ok()) {
    auto walk = testing::WalkAll(**db);
    if (!walk.visit.ok()) {
      EXPECT_NE(walk.visit.message().find("beyond the end of the file"), std::string::npos)
          << walk.visit.message();
    }
  } else {
    EXPECT_EQ(db.status().code(), ErrorCode::kCorrupt) << db.status().message();
  }
}

INSTANTIATE_TEST_SUITE_P(Samples, DamagedCopy,
                         ::testing::Values("pstsdk-sample1.pst", "gopst-32bit.pst",
                                           "pstsdk-submessage.pst"),
                         [](const auto& info) {
                           std::string name = info.param;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace pst::ndb
