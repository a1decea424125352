// The node database on real files nobody here wrote: every readable sample opens in its variant,
// holds the well-known nodes, decodes to valid heaps, and reads every node and subnode without a
// checksum complaint; damaged and foreign files are refused with the right code.
#include "platform/pst/ndb/node_database.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "node_walk.h"

namespace pst::ndb {
namespace {

const std::filesystem::path kSamples = PST2XMZ_SAMPLES_DIR;

#define SKIP_WITHOUT_SAMPLES() \
  if (!std::filesystem::exists(kSamples)) GTEST_SKIP() << "no sample files"

struct Sample {
  const char* file;
  FormatVariant variant;
  bool offline_store;
};

class ReadableSample : public ::testing::TestWithParam<Sample> {};

TEST_P(ReadableSample, OpensAndReadsEveryNode) {
  SKIP_WITHOUT_SAMPLES();
  const Sample& s = GetParam();
  auto db = NodeDatabase::Open((kSamples / s.file).string());
  ASSERT_TRUE(db.ok()) << db.status().message();
  EXPECT_EQ((*db)->header().variant, s.variant);
  EXPECT_EQ((*db)->header().offline_store, s.offline_store);

  for (NodeId nid : {kNidMessageStore, kNidNameToIdMap, kNidRootFolder}) {
    auto node = (*db)->OpenNode(nid);
    ASSERT_TRUE(node.ok()) << s.file << " node " << nid << ": " << node.status().message();
    auto first = (*node)->ReadBlock(0);
    ASSERT_TRUE(first.ok()) << first.status().message();
    // Every one of these nodes holds a heap: its first block carries the heap signature 0xEC.
    ASSERT_GE(first->size(), 4u);
    EXPECT_EQ((*first)[2], std::byte{0xEC}) << s.file << " node " << nid;
  }

  auto walk = testing::WalkAll(**db);
  EXPECT_TRUE(walk.visit.ok()) << walk.visit.message();
  EXPECT_GT(walk.nodes, 30u);
  EXPECT_EQ(walk.failures, 0u) << walk.first_failure;
  EXPECT_EQ((*db)->integrity().checksum_mismatches, 0u);
  EXPECT_EQ((*db)->integrity().signature_mismatches, 0u);
  EXPECT_EQ((*db)->integrity().other_warnings, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, ReadableSample,
    ::testing::Values(Sample{"pstsdk-sample1.pst", FormatVariant::kUnicode, false},
                      Sample{"pstsdk-sample2.pst", FormatVariant::kAnsi, false},
                      Sample{"gopst-32bit.pst", FormatVariant::kAnsi, false},
                      Sample{"pstsdk-test-ansi.pst", FormatVariant::kAnsi, false},
                      Sample{"aspose-outlook.pst", FormatVariant::kUnicode, false},
                      Sample{"aspose-sample.ost", FormatVariant::kUnicode, true},
                      Sample{"aspose-pst-named.ost", FormatVariant::kUnicode, false},
                      Sample{"aspose-backupout.pst", FormatVariant::kUnicode, false},
                      Sample{"rubymsg-200rcpt.pst", FormatVariant::kUnicode, false},
                      Sample{"pstx-outlookcom.ost", FormatVariant::kUnicode4k, true}),
    [](const auto& info) {
      std::string name = info.param.file;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

TEST(SampleFiles, FourKilobytePageFileHasCompressedMultiBlockNodes) {
  SKIP_WITHOUT_SAMPLES();
  auto db = NodeDatabase::Open((kSamples / "pstx-outlookcom.ost").string());
  ASSERT_TRUE(db.ok()) << db.status().message();
  std::size_t compressed = 0;
  ASSERT_TRUE((*db)
                  ->VisitBlocks([&](const BlockEntry& e) {
                    compressed += e.inflated_size != e.stored_size;
                    return true;
                  })
                  .ok());
  EXPECT_GT(compressed, 100u);
  auto walk = testing::WalkAll(**db);
  EXPECT_GT(walk.multi_block_nodes, 0u);
  EXPECT_GT(walk.subnodes, 100u);
  EXPECT_EQ(walk.failures, 0u) << walk.first_failure;
}

TEST(SampleFiles, EveryReadableSampleWalksWithoutFailure) {
  SKIP_WITHOUT_SAMPLES();
  std::size_t opened = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kSamples)) {
    const std::string name = entry.path().filename().string();
    const auto ext = entry.path().extension();
    if ((ext != ".pst" && ext != ".ost") || name.rfind("corrupt-", 0) == 0 ||
        name.rfind("notpst-", 0) == 0) {
      continue;
    }
    auto db = NodeDatabase::Open(entry.path().string());
    ASSERT_TRUE(db.ok()) << name << ": " << db.status().message();
    auto walk = testing::WalkAll(**db);
    EXPECT_TRUE(walk.visit.ok()) << name;
    EXPECT_EQ(walk.failures, 0u) << name << ": " << walk.first_failure;
    EXPECT_EQ((*db)->integrity().checksum_mismatches, 0u) << name;
    ++opened;
  }
  EXPECT_GE(opened, 25u);
}

struct Refusal {
  const char* file;
  ErrorCode code;
  const char* words;
};

class RefusedSample : public ::testing::TestWithParam<Refusal> {};

TEST_P(RefusedSample, IsRefusedWithAClearReason) {
  SKIP_WITHOUT_SAMPLES();
  const Refusal& r = GetParam();
  auto db = NodeDatabase::Open((kSamples / r.file).string());
  ASSERT_FALSE(db.ok());
  EXPECT_EQ(db.status().code(), r.code) << db.status().message();
  EXPECT_NE(db.status().message().find(r.words), std::string::npos) << db.status().message();
}

INSTANTIATE_TEST_SUITE_P(
    Samples, RefusedSample,
    ::testing::Values(
        Refusal{"notpst-aspose-smtp.pst", ErrorCode::kNotPst, "not a personal-folders file"},
        Refusal{"corrupt-aspose-bulk.pst", ErrorCode::kCorrupt, "file header"},
        // The header names the node B-tree root 0x1622; the page there says 0x1623.
        Refusal{"corrupt-aspose-cs-outlook.pst", ErrorCode::kCorrupt, "node B-tree page 0x1622"}));

TEST(SampleFiles, MissingFileAndDirectoryAreInputErrors) {
  EXPECT_EQ(NodeDatabase::Open("/nonexistent/file.pst").status().code(), ErrorCode::kIo);
  EXPECT_EQ(NodeDatabase::Open("/tmp").status().code(), ErrorCode::kIo);
}

}  // namespace
}  // namespace pst::ndb
