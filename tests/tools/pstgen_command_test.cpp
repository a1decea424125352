// The pstgen command: usage errors exit 2 and write nothing; every file variant it writes opens
// with the reader; its password option protects the store.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/tools/writer_test_support.h"

namespace {

using test_support::TempDir;
using Arguments = std::vector<std::string>;

int RunPstgen(const Arguments& arguments) {
  return test_support::RunProcess(std::string(PST2XMZ_BIN_DIR) + "/pstgen", arguments).exit_code;
}

class PstgenCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(std::string(PST2XMZ_BIN_DIR) + "/pstgen")) {
      GTEST_SKIP() << "pstgen is not built";
    }
  }
  TempDir dir_;
};

TEST_F(PstgenCommand, UsageErrorsExitWithTwo) {
  const std::string out = dir_ / "x.pst";
  EXPECT_EQ(RunPstgen({"--out", out}), 2);   // no seed
  EXPECT_EQ(RunPstgen({"--seed", "1"}), 2);  // no output
  EXPECT_EQ(RunPstgen({"--seed", "x", "--out", out}), 2);
  EXPECT_EQ(RunPstgen({"--seed", "1", "--html-share", "2", "--out", out}), 2);
  EXPECT_EQ(RunPstgen({"--seed", "1", "--bogus", "1", "--out", out}), 2);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "x.pst"));
}

TEST_F(PstgenCommand, EveryVariantOpensWithTheReader) {
  const std::vector<Arguments> variants = {
      {}, {"--ansi"}, {"--4k"}, {"--encoding", "none"}, {"--encoding", "cyclic"}};
  for (const Arguments& variant : variants) {
    const std::string out = dir_ / "v.pst";
    Arguments arguments = {"--seed", "3", "--messages", "20"};
    arguments.insert(arguments.end(), variant.begin(), variant.end());
    arguments.insert(arguments.end(), {"--out", out});
    const std::string name = variant.empty() ? "default" : variant.front();
    ASSERT_EQ(RunPstgen(arguments), 0) << name;
    auto store = writer_test::OpenStore(out);
    EXPECT_TRUE(store) << name;
  }
}

TEST_F(PstgenCommand, PasswordOptionProtectsTheStore) {
  std::string out = dir_ / "p.pst";
  ASSERT_EQ(RunPstgen({"--seed", "3", "--messages", "2", "--password", "s3cret", "--out", out}), 0);
  auto store = writer_test::OpenStore(out);
  ASSERT_TRUE(store);
  EXPECT_TRUE(store->CheckPassword("s3cret"));
  EXPECT_FALSE(store->CheckPassword("other"));
}

}  // namespace
