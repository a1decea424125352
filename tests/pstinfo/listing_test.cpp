// The --tree and --messages listings of writer-made files of every variant, line for line.
#include <gtest/gtest.h>

#include "tests/pstinfo/test_store.h"

namespace pstinfo_test {
namespace {

class Listing : public PstinfoTest, public ::testing::WithParamInterface<pw::FileFormat> {};

TEST_P(Listing, TreeIsDepthFirstPreOrderWithCountsClassesAndNames) {
  TestStore s = WriteTestStore(dir_ / "t.pst", GetParam());
  RunResult r = RunPstinfo({"--tree", s.path});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(Lines(r.out), s.tree_lines);
}

TEST_P(Listing, MessagesWithSubjectsCountsAndAttachmentDigests) {
  TestStore s = WriteTestStore(dir_ / "t.pst", GetParam());
  RunResult r = RunPstinfo({"--messages", s.path});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(Lines(r.out), s.message_lines);
}

INSTANTIATE_TEST_SUITE_P(Variants, Listing,
                         ::testing::Values(pw::FileFormat::kUnicode, pw::FileFormat::kAnsi,
                                           pw::FileFormat::kUnicode4k),
                         VariantName);

}  // namespace
}  // namespace pstinfo_test
